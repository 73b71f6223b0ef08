// The system clipboard as the engine sees it: the block format's bytes go through unchanged, with the
// row as plain text beside them; plain text alone is no block. (The offscreen platform keeps the
// clipboard inside the process; between two programs it is the desktop's.)
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string>
#include <vector>

#include "app/platform/QtClipboard.h"
#include "base/Sjis.h"
#include "render/QtText.h"

namespace {
std::string Sjis(const std::string& utf8) { return base::Utf8ToSjis(utf8); }
}  // namespace

TEST(QtClipboard, CarriesTheExactBytesAndOffersText) {
  MQtClipboard clipboard;
  EXPECT_EQ(MQtClipboard::MimeType(kMapBlockFormat), "application/x-tessora-cf-mapblock");
  const std::vector<std::string> rows = {
      Sjis("item,品名,\"a,\"\"b\"\"\",,"),
      std::string("item,\x83\x5c,\x95\x5c\x8e\xa6"),  // trail bytes that are ASCII backslashes
      std::string("a\0b", 3),                         // a zero byte is carried, not ended at
      std::string(70000, 'x'),
  };
  for (const std::string& row : rows) {
    SCOPED_TRACE(row.substr(0, 20));
    clipboard.SetData(kMapBlockFormat, row);
    std::string back;
    ASSERT_TRUE(clipboard.GetData(kMapBlockFormat, back));
    EXPECT_EQ(back, row);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("application/x-tessora-cf-mapblock").size(), static_cast<qsizetype>(row.size()));
    EXPECT_TRUE(data->hasText());
    EXPECT_EQ(data->text(), FromSjis(row));
  }
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(70000, 'x'));

  // Plain text alone is no block, whatever it says.
  QGuiApplication::clipboard()->setText("item,b1,c1,,");
  std::string none = "unchanged";
  EXPECT_FALSE(clipboard.GetData(kMapBlockFormat, none));
  EXPECT_EQ(none, "unchanged");
  EXPECT_FALSE(clipboard.HasData(kMapBlockFormat));
  EXPECT_TRUE(clipboard.HasText());
  // Another format is carried under its own type, without the text.
  clipboard.SetData("OTHER_FORMAT", "bytes");
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("application/x-tessora-other-format"));
  EXPECT_FALSE(clipboard.HasText());
  EXPECT_FALSE(clipboard.HasData(kMapBlockFormat));

  // A clipboard that is not there takes nothing and holds nothing.
  MQtClipboard missing(nullptr);
  EXPECT_THROW(missing.SetData(kMapBlockFormat, "x"), std::exception);
  EXPECT_FALSE(missing.GetData(kMapBlockFormat, none));
}

TEST(QtClipboard, ChangesAreAnnounced) {
  int changes = 0;
  const QMetaObject::Connection watch =
      QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] { ++changes; });
  MQtClipboard().SetData(kMapBlockFormat, "newline");
  QObject::disconnect(watch);
  EXPECT_EQ(changes, 1);
  QGuiApplication::clipboard()->clear();
}
