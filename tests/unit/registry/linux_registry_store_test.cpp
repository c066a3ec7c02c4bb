#include "registry/linux_registry_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "registry/registry_access.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;

TEST(LinuxRegistryStore, SerialCommListsPresentDevicesAndExistingExtraPaths) {
    const fs::path root = fs::temp_directory_path() / ("kxp40s_tty_" + std::to_string(getpid()));
    fs::remove_all(root);
    for (const char* dir : {"ttyUSB1", "ttyACM0", "ttyS0", "ttyS1", "tty0"}) {
        fs::create_directories(root / dir);
    }
    std::ofstream(root / "ttyS0" / "type") << "4\n";
    std::ofstream(root / "ttyS1" / "type") << "0\n";
    const fs::path extra = root / "plugged";
    std::ofstream(extra) << "";
    const std::string env = extra.string() + ":" + (root / "absent").string() + ":";
    setenv("KXP40S_PORTS", env.c_str(), 1);

    LinuxRegistryStore store(root.string());
    clsRegistryAccess reg(store);
    std::vector<std::string> names, values;
    int count = 0;
    reg.EnumValues(kSerialCommPath, names, values, -1, count);
    EXPECT_EQ(values, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB1",
                                                extra.string()}));
    EXPECT_EQ(count, 4);

    fs::remove(extra);  // unplugged: gone at the next read
    reg.EnumValues(kSerialCommPath, names, values, -1, count);
    EXPECT_EQ(count, 3);
    unsetenv("KXP40S_PORTS");
    fs::remove_all(root);
}

}  // namespace
}  // namespace kxp40s
