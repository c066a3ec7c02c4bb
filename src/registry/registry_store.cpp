#include "registry/registry_store.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace kxp40s {
namespace {

std::vector<std::string> splitPath(const std::string& subPath) {
    std::vector<std::string> parts;
    std::stringstream in(subPath);
    for (std::string part; std::getline(in, part, '\\');) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

}  // namespace

bool sameRegistryName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct MemoryRegistryStore::Key {
    std::string name;
    std::vector<NamedValue> values;
    std::vector<std::unique_ptr<Key>> subkeys;

    Key* child(const std::string& childName) {
        for (auto& k : subkeys) {
            if (sameRegistryName(k->name, childName)) return k.get();
        }
        return nullptr;
    }
    NamedValue* value(const std::string& valueName) {
        for (auto& v : values) {
            if (sameRegistryName(v.name, valueName)) return &v;
        }
        return nullptr;
    }
};

MemoryRegistryStore::MemoryRegistryStore() {
    for (RegistryRoot r = HKEY_CLASSES_ROOT; r <= HKEY_DYN_DATA; ++r) {
        roots_[r] = std::make_unique<Key>();
    }
}

MemoryRegistryStore::~MemoryRegistryStore() = default;

MemoryRegistryStore::Key* MemoryRegistryStore::find(RegistryRoot root, const std::string& subPath) {
    auto it = roots_.find(root);
    if (it == roots_.end()) return nullptr;
    Key* key = it->second.get();
    for (const auto& part : splitPath(subPath)) {
        key = key->child(part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

bool MemoryRegistryStore::keyExists(RegistryRoot root, const std::string& subPath) {
    return find(root, subPath) != nullptr;
}

bool MemoryRegistryStore::createKey(RegistryRoot root, const std::string& subPath) {
    Key* key = find(root, "");
    if (key == nullptr) return false;
    for (const auto& part : splitPath(subPath)) {
        Key* next = key->child(part);
        if (next == nullptr) {
            key->subkeys.push_back(std::make_unique<Key>());
            next = key->subkeys.back().get();
            next->name = part;
        }
        key = next;
    }
    return true;
}

bool MemoryRegistryStore::deleteKey(RegistryRoot root, const std::string& subPath) {
    auto parts = splitPath(subPath);
    if (parts.empty()) return false;
    const std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts)
        parentPath += p + "\\";
    Key* parent = find(root, parentPath);
    if (parent == nullptr) return false;
    const auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                                 [&](const auto& k) { return sameRegistryName(k->name, last); });
    if (it == parent->subkeys.end()) return false;
    parent->subkeys.erase(it);
    return true;
}

std::optional<std::vector<std::string>> MemoryRegistryStore::subkeyNames(
    RegistryRoot root, const std::string& subPath) {
    Key* key = find(root, subPath);
    if (key == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& k : key->subkeys)
        names.push_back(k->name);
    return names;
}

std::optional<std::vector<NamedValue>> MemoryRegistryStore::values(RegistryRoot root,
                                                                   const std::string& subPath) {
    Key* key = find(root, subPath);
    if (key == nullptr) return std::nullopt;
    return key->values;
}

bool MemoryRegistryStore::setValue(RegistryRoot root, const std::string& subPath,
                                   const std::string& name, const RegValue& value) {
    Key* key = find(root, subPath);
    if (key == nullptr) return false;
    if (NamedValue* existing = key->value(name)) {
        existing->value = value;
    } else {
        key->values.push_back({name, value});
    }
    return true;
}

bool MemoryRegistryStore::deleteValue(RegistryRoot root, const std::string& subPath,
                                      const std::string& name) {
    Key* key = find(root, subPath);
    if (key == nullptr) return false;
    const auto it = std::find_if(key->values.begin(), key->values.end(), [&](const NamedValue& v) {
        return sameRegistryName(v.name, name);
    });
    if (it == key->values.end()) return false;
    key->values.erase(it);
    return true;
}

}  // namespace kxp40s
