// Recovery copies and files changed by other programs: what the editor needs to never lose work.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <utime.h>

#include "data/MapFile.h"
#include "data/Recovery.h"
#include "support/DocumentTestSupport.h"

namespace {

const std::string kDocument = "[basic_info]\r\nlayout=a.lay\r\n\r\n[map_data]\r\nitem,1\r\n";

// Sets a file's modification time to now + seconds.
void Age(const doc_test::fs::path& path, int seconds) {
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  const struct timeval times[2] = {{st.st_atime, 0}, {::time(nullptr) + seconds, 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

TEST(FileChangedOnDisk, NoticesOtherWritersOnly) {
  doc_test::TempFolder folder("changed");
  doc_test::WriteBytes(folder / "doc.map", kDocument);
  MMapFile file;
  EXPECT_FALSE(file.ChangedOnDisk()) << "no file yet";
  file.ReadFile(folder.SjisPath("doc.map"));
  EXPECT_FALSE(file.ChangedOnDisk());
  file.WriteText(kDocument + "item,2\r\n");
  EXPECT_FALSE(file.ChangedOnDisk()) << "our own save";

  // Another program: the same size at another time, another size, the file removed.
  Age(folder / "doc.map", -100);
  EXPECT_TRUE(file.ChangedOnDisk());
  file.WriteText(kDocument);
  doc_test::WriteBytes(folder / "doc.map", kDocument + "x");
  EXPECT_TRUE(file.ChangedOnDisk());
  file.ReadFile(folder.SjisPath("doc.map"));
  doc_test::fs::remove(folder / "doc.map");
  EXPECT_TRUE(file.ChangedOnDisk());

  // Content read from elsewhere stands for the file as it is now.
  doc_test::WriteBytes(folder / "doc.map", kDocument);
  file.ReadText(folder.SjisPath("doc.map"), kDocument + "item,3\r\n");
  EXPECT_FALSE(file.ChangedOnDisk());
  EXPECT_EQ(file.MapData().size(), 2u);
  EXPECT_GT(file.FileDate(), 0);
}

TEST(RecoveryCopy, IsOfferedWhileNewerThanTheDocument) {
  doc_test::TempFolder folder("recovery");
  ::setenv("XDG_STATE_HOME", (folder.Path() / "state").c_str(), 1);
  doc_test::WriteBytes(folder / "a.map", kDocument);
  doc_test::WriteBytes(folder / "b.map", kDocument);
  const std::string a = folder.SjisPath("a.map"), b = folder.SjisPath("b.map");
  EXPECT_NE(RecoveryPathFor(a), RecoveryPathFor(b));
  EXPECT_EQ(RecoveryPathFor(a).rfind(base::Utf8ToSjis((folder.Path() / "state/tessora/").string()), 0), 0u);

  std::string bytes;
  EXPECT_FALSE(FindRecoveryCopy(a, bytes)) << "none written";
  Age(folder / "a.map", -10);
  WriteRecoveryCopy(a, "changed");
  ASSERT_TRUE(FindRecoveryCopy(a, bytes));
  EXPECT_EQ(bytes, "changed");
  EXPECT_FALSE(FindRecoveryCopy(b, bytes)) << "another document's copy is not this one's";

  Age(folder / "a.map", +10);  // saved after the copy was made
  EXPECT_FALSE(FindRecoveryCopy(a, bytes));
  // Written within one tick of the file clock: the copy carries the file's very time, and still counts.
  struct stat file {};
  ASSERT_EQ(::stat((folder / "a.map").c_str(), &file), 0);
  const struct timespec same[2] = {file.st_atim, file.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, base::SjisToUtf8(RecoveryPathFor(a)).c_str(), same, 0), 0);
  EXPECT_TRUE(FindRecoveryCopy(a, bytes));
  doc_test::fs::remove(folder / "a.map");
  EXPECT_TRUE(FindRecoveryCopy(a, bytes)) << "the document is gone: the copy is all there is";
  RemoveRecoveryCopy(a);
  EXPECT_FALSE(FindRecoveryCopy(a, bytes));
  ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
