#include "launcher/posix_platform.h"
#include "launcher/twcheck.h"

int main() {
  const twcheck::Config config{TWCHECK_RUNTIME_LIBRARY, TWCHECK_RUNTIME_SIZE, TWCHECK_RUNTIME_PAGE,
                               "./orlavo-professional"};
  twcheck::PosixPlatform platform;
  return twcheck::RunTWCheck(config, platform);
}
