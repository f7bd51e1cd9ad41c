#include <iostream>

int main()
{
    std::cout << "KAVRIN RGB Studio\n"
                 "--list 列出兼容设备（不发送灯光命令）\n"
                 "--read [--device REGISTRY_ID] 读取灯光设置\n"
                 "--demo 打开演示界面（不访问 USB）\n";
    return 0;
}
