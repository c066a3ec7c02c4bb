#include "registry/registry_store.h"
#include "registry/windows_registry_calls.h"

namespace kxp40s {

namespace {

// Windows' own registry. SERIALCOMM there lists the COM ports the system
// knows (value data such as "COM3"), kept current by Windows itself.
class WindowsRegistryStore : public RegistryStore {
  public:
    bool keyExists(RegistryRoot root, const std::string& subPath) override {
        return windows_registry::keyExists(root, subPath);
    }
    bool createKey(RegistryRoot root, const std::string& subPath) override {
        return windows_registry::createKey(root, subPath);
    }
    bool deleteKey(RegistryRoot root, const std::string& subPath) override {
        return windows_registry::deleteKey(root, subPath);
    }
    std::optional<std::vector<std::string>> subkeyNames(RegistryRoot root,
                                                        const std::string& subPath) override {
        return windows_registry::subkeyNames(root, subPath);
    }
    std::optional<std::vector<NamedValue>> values(RegistryRoot root,
                                                  const std::string& subPath) override {
        auto found = windows_registry::values(root, subPath);
        if (!found) return std::nullopt;
        std::vector<NamedValue> named;
        for (auto& v : *found)
            named.push_back({std::move(v.name), RegValue{v.type, std::move(v.data)}});
        return named;
    }
    bool setValue(RegistryRoot root, const std::string& subPath, const std::string& name,
                  const RegValue& value) override {
        return windows_registry::setValue(root, subPath, {name, value.type, value.data});
    }
    bool deleteValue(RegistryRoot root, const std::string& subPath,
                     const std::string& name) override {
        return windows_registry::deleteValue(root, subPath, name);
    }
};

}  // namespace

std::unique_ptr<RegistryStore> makeSystemRegistryStore() {
    return std::make_unique<WindowsRegistryStore>();
}

}  // namespace kxp40s
