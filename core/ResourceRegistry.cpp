#include "core/ResourceRegistry.h"

#include <cstdio>

ResourceRegistry& ResourceRegistry::Instance()
{
    static ResourceRegistry registry;
    return registry;
}

void ResourceRegistry::Register(const std::string& key, CGameObject* object) { m_Map.emplace(key, object); }

CGameObject* ResourceRegistry::Find(const std::string& key) const
{
    auto it = m_Map.find(key);
    return it == m_Map.end() ? nullptr : it->second;
}

void ResourceRegistry::Clear() { m_Map.clear(); }

void RegisterResource(const char* key, CGameObject* object)
{
    ResourceRegistry::Instance().Register(key ? key : "", object);
}

void ReportResourceTypeMismatch(const char* key, const char* wanted)
{
    std::fprintf(stderr, "resource \"%s\" is not of the type asked for (%s)\n", key ? key : "", wanted);
}

void ClearResources() { ResourceRegistry::Instance().Clear(); }
