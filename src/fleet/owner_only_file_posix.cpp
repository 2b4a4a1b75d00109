#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fleet/owner_only_file.h"

namespace molvane {

bool MakeOwnerOnlyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST;
  // Whatever the umask left, the file is the owner's.
  const bool owned = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  return owned;
}

}  // namespace molvane
