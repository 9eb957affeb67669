#pragma once

// 头文件的注释可以写中文。
extern const char kText[]; // "系统错误"
inline constexpr char kSeparator = '\t';
inline constexpr int kMask = 0xFF'FF;
