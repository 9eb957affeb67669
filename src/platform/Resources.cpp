#include "platform/Resources.h"

#include <cstring>
#include <list>

// Written by the build from the files listed in cmake/EmbeddedData.cmake.
extern const EMBEDDEDRESOURCE g_embeddedResources[];
extern const int g_nEmbeddedResources;

struct RESOURCEINFO
{
    int nId;
    std::string strType;
    std::string strOverride; // the bytes of an override
    const unsigned char* pData;
    DWORD dwSize;
    ResourceFault fault;
};

namespace
{
// Overrides come first, so they hide the built-in resource of the same id and type.
std::list<RESOURCEINFO>& Overrides()
{
    static std::list<RESOURCEINFO> overrides;
    return overrides;
}

bool Matches(int nId, const char* lpcszType, int nOtherId, const char* lpcszOtherType)
{
    return nId == nOtherId && std::strcmp(lpcszType, lpcszOtherType) == 0;
}

std::list<RESOURCEINFO>& BuiltIn()
{
    static std::list<RESOURCEINFO> resources = [] {
        std::list<RESOURCEINFO> list;
        for (int i = 0; i < g_nEmbeddedResources; ++i)
        {
            const EMBEDDEDRESOURCE& res = g_embeddedResources[i];
            list.push_back({res.nId, res.lpcszType, {}, res.pData, res.dwSize, ResourceFault::None});
        }
        return list;
    }();
    return resources;
}
} // namespace

HRSRC FindResource(int nId, const char* lpcszType)
{
    for (const auto* pList : {&Overrides(), &BuiltIn()})
        for (const RESOURCEINFO& info : *pList)
            if (Matches(nId, lpcszType, info.nId, info.strType.c_str()))
                return info.fault == ResourceFault::Missing ? nullptr : &info;
    return nullptr;
}

DWORD SizeofResource(HRSRC hResInfo)
{
    return hResInfo->dwSize;
}

HGLOBAL LoadResource(HRSRC hResInfo)
{
    return hResInfo == nullptr || hResInfo->fault == ResourceFault::LoadFails ? nullptr : hResInfo;
}

const void* LockResource(HGLOBAL hResData)
{
    return hResData == nullptr || hResData->fault == ResourceFault::LockFails ? nullptr : hResData->pData;
}

void OverrideResource(int nId, const char* lpcszType, std::string bytes, ResourceFault fault)
{
    Overrides().remove_if(
        [&](const RESOURCEINFO& info) { return Matches(nId, lpcszType, info.nId, info.strType.c_str()); });
    RESOURCEINFO& info = Overrides().emplace_front(RESOURCEINFO{nId, lpcszType, std::move(bytes), nullptr, 0, fault});
    info.pData = reinterpret_cast<const unsigned char*>(info.strOverride.data());
    info.dwSize = static_cast<DWORD>(info.strOverride.size());
}

void ResetResourceOverrides()
{
    Overrides().clear();
}
