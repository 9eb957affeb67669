// 注释里可以写任何文字, "引号里的也可以" \xC3\xBB
/* 块注释 "中文" \xC3 */
const char kText[] = "读者看得懂的文字";
const char kMixed[] = "第%d行\t\x01";
const char kQuote = '"';
const char kEscapedQuote[] = "\"中文\"";
const char kRaw[] = R"x(原样的 \xC3 文字)x";
const int kThousands = 1'000'000;
const char kLast = '\x7F';
