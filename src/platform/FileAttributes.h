#pragma once

#include "platform/Types.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

// Gives the file the permissions that stand for the attributes: hidden or system files are the
// owner's alone (0600), others are normal (0644); read-only removes every write permission.
// FALSE with the last-error value set when the file cannot be changed.
BOOL SetFileAttributesA(const char* lpcszFileName, DWORD dwAttributes);
