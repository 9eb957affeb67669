#pragma once

inline constexpr char kCaption[] = "系统错误";
