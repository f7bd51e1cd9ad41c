// Unplugs an emulated dock started with --vanish-after 0: sends it one feature report, which makes
// it leave, and returns once the kernel has removed its node.
//   kavrin-unplug hidrawN
#include <err.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    const std::string node = argc == 2 ? argv[1] : "";
    const int fd = open(("/dev/" + node).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        err(1, "cannot open /dev/%s", node.c_str());
    unsigned char report[2] {};
    ioctl(fd, HIDIOCSFEATURE(sizeof report), report); // fails: the dock leaves instead of answering
    for (int tries = 0; tries < 200 && std::filesystem::exists("/sys/class/hidraw/" + node); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists("/sys/class/hidraw/" + node) ? 1 : 0;
}
