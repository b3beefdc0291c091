// The program's entry point: hands over to the shell, then ends the platform.
#include "main/MAIN.h"
#include "platform/platform.h"

int main() {
  const int code = WinMain(nullptr, nullptr, nullptr, 1);
  plat::shutdown();
  return code;
}
