#include "core/MemTableTexts.h"

namespace MemTableText
{
const char kNoMemoryCopy[] = "没有足够内存复制数据。";
const char kNoMemoryNames[] = "没有足够内存保存列信息。";
const char kTooManyColumns[] = "列数超过限制。";
const char kNoMemoryCells[] = "没有足够内存生成列集。";
const char kRowWithoutLineEnd[] = "第%d行不是有效的格式文本(没有对应的换行符)。";
const char kLoadFailed[] = "CMemTable::_Load() failed. ";
const char kNoMemoryAddRows[] = "没有足够内存添加数据行(内存表溢出)。";
const char kNoMemoryDeleteRows[] = "没有足够内存缓冲删除后的数据行(内存表溢出)。";
const char kNoMemoryAppend[] = "没有足够内存装入数据。";
const char kNoBlock[] = "找到不数据块，无法装入指定内存表。";
const char kEmptyColumnName[] = "数据块存在空列名，无法装入指定内存表。";
const char kBinaryReport[] = "CMemTable::LoadBinary()失败: 当前行：%d 附加数据：lpcszMark=%s 附加错误信息：%s。";
const char kBinaryFatalReport[] = "CMemTable::LoadBinary()失败: 当前行：%d 附加数据：lpcszMark=%s 附加错误信息：无。";
const char kBinaryFailed[] = "CMemTable::LoadBinary()执行失败。";
const char kBlockPastBuffer[] = "数据块超出缓冲区，无法装入指定内存表。";
const char kBlockBadCount[] = "数据块的行数、列数、偏移或长度无效，无法装入指定内存表。";
const char kBlockLongMark[] = "数据块标记超过8字节，无法装入指定内存表。";
const char kBlockUnknownType[] = "数据块存在未知的列类型，无法装入指定内存表。";
} // namespace MemTableText
