const char16_t kFine[] = u"ASCII";
const char8_t kCaption[] = u8"系统错误";
