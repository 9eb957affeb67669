#pragma once

#include <string>

#include "platform/Types.h"

// Data files built into the program (the school directory text), reached like the custom
// resources of a module: find by numeric id and type name, take the size, load, lock.
struct RESOURCEINFO;
using HRSRC = const RESOURCEINFO*;
using HGLOBAL = const RESOURCEINFO*;

// The resource with this id and exactly this type name, or null.
HRSRC FindResource(int nId, const char* lpcszType);
// Its size in bytes. REQUIRES: hResInfo from FindResource, not null.
DWORD SizeofResource(HRSRC hResInfo);
// The loaded resource, or null when it cannot be loaded.
HGLOBAL LoadResource(HRSRC hResInfo);
// The first byte of the loaded resource, or null when it cannot be locked.
const void* LockResource(HGLOBAL hResData);

// One resource as the build embeds it (tools/EmbedData.cpp writes the list).
struct EMBEDDEDRESOURCE
{
    int nId;
    const char* lpcszType;
    const unsigned char* pData;
    DWORD dwSize;
};

// Test seam: until ResetResourceOverrides, the resource (id, type) holds these bytes or shows
// the fault instead of its built-in content.
enum class ResourceFault
{
    None,
    Missing,
    LoadFails,
    LockFails,
};
void OverrideResource(int nId, const char* lpcszType, std::string bytes, ResourceFault fault = ResourceFault::None);
void ResetResourceOverrides();
