// ResourceRegistry is responsible for naming the shared textures, meshes and
// sounds of a stage by text key. It never creates or deletes an object: the
// objects live in the task list at priority -1.
#pragma once

#include <string>
#include <unordered_map>

#include "core/Task.h"

class ResourceRegistry {
public:
    static ResourceRegistry& Instance();

    void Register(const std::string& key, CGameObject* object);  // a key already present keeps its object
    CGameObject* Find(const std::string& key) const;              // null when absent
    void Clear();                                                 // forgets every key, deletes nothing
    size_t Size() const { return m_map.size(); }

private:
    std::unordered_map<std::string, CGameObject*> m_map;
};

void RegisterResource(const char* key, CGameObject* object);
CGameObject* FindResource(const char* key);
void ClearResources();
