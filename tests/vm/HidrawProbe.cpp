// Feature-report ioctls on one hidraw node, for checking what the kernel itself does:
//   kavrin-hidraw-probe /dev/hidrawN (set HEX | get | wait-gone)...
// Opens the node once, runs the steps in order on it and prints one line per step:
// "set 9", "get 9 00CB...", "set error EIO", or "gone" once the kernel has removed the node
// from sysfs. Exit status 0 unless the node cannot be opened.
#include <err.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int fd = argc > 1 ? open(argv[1], O_RDWR | O_CLOEXEC) : -1;
    if (fd < 0)
        err(1, "cannot open the node");
    const auto sysfs = std::filesystem::path("/sys/class/hidraw") / std::filesystem::path(argv[1]).filename();
    for (int i = 2; i < argc; ++i) {
        const std::string step = argv[i];
        if (step == "wait-gone") {
            for (int tries = 0; tries < 200 && std::filesystem::exists(sysfs); ++tries)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::printf(std::filesystem::exists(sysfs) ? "still there\n" : "gone\n");
            continue;
        }
        // Byte 0 is the report number, 0 for the docks' unnumbered report.
        std::vector<unsigned char> buffer {0};
        int result = 0;
        if (step == "set" && i + 1 < argc) {
            const std::string bytes = argv[++i];
            for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
                buffer.push_back(static_cast<unsigned char>(std::stoul(bytes.substr(at, 2), nullptr, 16)));
            result = ioctl(fd, HIDIOCSFEATURE(buffer.size()), buffer.data());
        } else {
            buffer.resize(9);
            result = ioctl(fd, HIDIOCGFEATURE(buffer.size()), buffer.data());
        }
        if (result < 0)
            std::printf("%s error %s", step.c_str(), strerrorname_np(errno));
        else
            std::printf("%s %d%s", step.c_str(), result, step == "get" ? " " : "");
        for (int at = 0; step == "get" && at < result && at < 9; ++at)
            std::printf("%02X", buffer[static_cast<std::size_t>(at)]);
        std::printf("\n");
    }
    return 0;
}
