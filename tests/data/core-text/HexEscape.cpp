const char kFine[] = "\x41";

const char kCaption[] = "\xCF\xB5\xCD\xB3";
