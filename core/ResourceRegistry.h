// ResourceRegistry is responsible for naming the shared textures, meshes and
// sounds of a stage by text key. It never creates or deletes an object: the
// objects live in the task list at priority -1.
#pragma once

#include <cassert>
#include <string>
#include <typeinfo>
#include <unordered_map>

#include "core/Task.h"

class ResourceRegistry {
public:
    static ResourceRegistry& Instance();

    void Register(const std::string& key, CGameObject* object);   // a key already present keeps its object
    CGameObject* Find(const std::string& key) const;              // null when absent
    void Clear();                                                 // forgets every key, deletes nothing
    size_t Size() const { return m_Map.size(); }

private:
    std::unordered_map<std::string, CGameObject*> m_Map;
};

void RegisterResource(const char* key, CGameObject* object);
void ClearResources();

// Says which key holds an object of another type than the one asked for.
void ReportResourceTypeMismatch(const char* key, const char* wanted);

// The one lookup of a shared resource by key: null when the key is absent,
// and null as well when the object under it is not a T, which stops a debug
// build at once since it means two parts of the game disagree about a key.
template <typename T = CGameObject>
T* FindResource(const char* key)
{
    CGameObject* object = ResourceRegistry::Instance().Find(key ? key : "");
    if (!object) return nullptr;
    T* typed = dynamic_cast<T*>(object);
    if (!typed) {
        ReportResourceTypeMismatch(key, typeid(T).name());
        assert(typed && "a resource key holds an object of another type");
    }
    return typed;
}
