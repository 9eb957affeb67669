#pragma once

#include "TestKit.h"

#include <string>
#include <string_view>

// Shared helpers of the data tests.

// The bytes of a file of the source tree (data/, res/), read whole.
std::string ReadSourceFile(const std::string& strRelativePath);

std::string ReadFileBytes(const std::string& strPath);
void WriteFileBytes(const std::string& strPath, std::string_view bytes);

// Byte i XOR key[i mod 8], the key being the first 8 password bytes padded with zeros: the data
// file rule, written out independently of the program's own code.
std::string XorWithPassword(std::string_view bytes, std::string_view password);

using TestKit::TempProgramDir;
