// Files had by name are regular files: FIFOs and devices are refused at once, new files are made
// exclusively, and a link another user planted never leads a write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/file_content.h"
#include "base/file_tail.h"
#include "base/regular_file.h"
#include "support/temp_dir.h"

using molvane::CreateResult;
using molvane::FileFault;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

mode_t TypeOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & S_IFMT;
}

// A FIFO nobody writes into would hold a reader for ever, and one nobody reads a writer; a
// device would be read, written, or (renamed over) replaced. Root gets a null device of the
// test's own to aim at; an ordinary user, who could not replace it anyway, the system's.
TEST(RegularFiles, FifosAndDevicesAreRefusedAtOnceAndStay) {
  TempDir dir;
  const std::string fifo = dir.File("backup.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string device = "/dev/null";
  const std::string node = dir.File("null");
  if (::geteuid() == 0 && ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) device = node;
  for (const std::string& special : {fifo, device}) {
    SCOPED_TRACE(special);
    const mode_t type = TypeOf(special);
    FileFault fault = FileFault::None;
    EXPECT_FALSE(molvane::OpenRegularFile(special, fault));
    EXPECT_EQ(fault, FileFault::NotRegular);
    std::string content;
    EXPECT_EQ(molvane::ReadFileContent(special, content), molvane::ReadResult::NotRegular);
    std::uintmax_t size = 0;
    EXPECT_EQ(molvane::ReadFileTail(special, 10, content, size), molvane::ReadResult::NotRegular);
    fault = FileFault::None;
    EXPECT_FALSE(molvane::OpenAppendFile(special, fault, size));
    EXPECT_EQ(fault, FileFault::NotRegular);
    EXPECT_FALSE(molvane::ReplaceFileContent(special, "written"));
    EXPECT_EQ(TypeOf(special), type);
  }
}

TEST(RegularFiles, ANewFileIsMadeOnlyWhereNothingIs) {
  TempDir dir;
  const std::string path = dir.File("cart.before-restore.txt");
  EXPECT_EQ(molvane::CreateNewFile(path, "first"), CreateResult::Created);
  EXPECT_EQ(molvane::CreateNewFile(path, "second"), CreateResult::Exists);
  EXPECT_EQ(ReadFile(path), "first");
  // Not even through a link that leads nowhere yet.
  const std::string link = dir.File("link.txt");
  std::filesystem::create_symlink(dir.File("made-through-link.txt"), link);
  EXPECT_EQ(molvane::CreateNewFile(link, "third"), CreateResult::Exists);
  EXPECT_FALSE(std::filesystem::exists(dir.File("made-through-link.txt")));
  EXPECT_EQ(molvane::CreateNewFile(dir.File("no/such/folder.txt"), "x"), CreateResult::Failed);
}

// Root writing a report into a shared folder where another user left a link to a file of root's:
// neither the replace nor an append goes through the link.
TEST(RegularFiles, ALinkOfAnotherUserIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a link of another user's";
  TempDir dir;
  const std::string target = dir.File("shadow");
  WriteFile(target, "precious");
  const std::string planted = dir.File("report.txt");
  std::filesystem::create_symlink(target, planted);
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::lchown(planted.c_str(), kNobody, kNobody), 0);
  const std::string chained = dir.File("Molvane.cfg");  // a link of root's to the planted one
  std::filesystem::create_symlink(planted, chained);

  for (const std::string& path : {planted, chained}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(molvane::ReplaceFileContent(path, "overwritten"));
    FileFault fault = FileFault::None;
    std::uintmax_t size = 0;
    EXPECT_FALSE(molvane::OpenAppendFile(path, fault, size));
    EXPECT_EQ(fault, FileFault::ForeignLink);
  }
  EXPECT_EQ(ReadFile(target), "precious");
  EXPECT_TRUE(std::filesystem::is_symlink(planted));
}

}  // namespace
