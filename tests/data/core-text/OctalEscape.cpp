const char kFine[] = "\101";
const char kCaption[] = "\317\265";
