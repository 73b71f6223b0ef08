// Work that is never lost in the real window: the recovery copy after a crash (the window destroyed
// without closing, as a kill leaves it), and the question before saving over a file another program
// changed.
#include "WindowTestSupport.h"
#include "data/Recovery.h"

namespace {

class NeverLost : public window_test::WindowTest {
 protected:
  std::string Path() const { return folder_.SjisPath("shop.map"); }
  std::string OnDisk() const { return doc_test::ReadBytes(folder_ / "shop.map"); }
  // A change: a blank at the cursor.
  void Change() {
    QWidget* page = Find<QWidget>("pnlMap");
    page->setFocus();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(page, &space);
  }
  std::vector<QString> asked_;
  bool answer_ = true;
  void Answering(TfmMain& w) {
    w.ConfirmForTest = [this](const QString& question) {
      asked_.push_back(question);
      return answer_;
    };
  }
  // The editor started on the file, its questions answered from the start.
  TfmMain& Start(const QString& file) {
    window_ = std::make_unique<TfmMain>(QStringList{file}, QString::fromStdString(folder_.Path().string()));
    Answering(*window_);
    window_->show();
    window_->OpenStartFile();
    return *window_;
  }
};

TEST_F(NeverLost, ARecoveryCopyComesBackAfterACrashAndGoesWithACleanSave) {
  const QString file = QString::fromStdString((folder_ / "shop.map").string());
  const std::string originalFile = OnDisk();
  std::string original;
  for (const bool restore : {true, false}) {
    SCOPED_TRACE(restore ? "restored" : "given up");
    TfmMain& w = Start(file);
    ASSERT_TRUE(HasDocument());
    original = PrepareSave().Bytes;
    EXPECT_FALSE(w.RecoveryCopyPending());
    Change();
    EXPECT_TRUE(w.RecoveryCopyPending()) << "a copy is due some time after the change";
    w.WriteRecoveryCopyNow();
    const std::string changed = PrepareSave().Bytes;
    window_.reset();  // killed: no close, no question
    ResetDocument();

    answer_ = restore;
    TfmMain& again = Start(file);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_.back(), "前回保存されなかった変更があります。復元しますか？");
    asked_.clear();
    std::string copy;
    EXPECT_EQ(FindRecoveryCopy(Path(), copy), restore) << "kept until saved; No discards it";
    if (restore) {
      EXPECT_EQ(PrepareSave().Bytes, changed);
      EXPECT_TRUE(IsModified()) << "the file does not hold the recovered changes";
      EXPECT_TRUE(again.windowTitle().endsWith("[shop.map]"));
      EXPECT_TRUE(again.Save());
      EXPECT_TRUE(asked_.empty()) << "the file was not changed by another program";
      EXPECT_EQ(OnDisk(), changed);
      EXPECT_FALSE(FindRecoveryCopy(Path(), copy)) << "a clean save removes the copy";
      doc_test::WriteBytes(folder_ / "shop.map", originalFile);
    } else {
      EXPECT_EQ(PrepareSave().Bytes, original);
      EXPECT_FALSE(IsModified());
    }
    window_.reset();
  }
}

TEST_F(NeverLost, SavingOverAFileChangedByAnotherProgramAsksFirst) {
  TfmMain& w = OpenShop();
  Answering(w);
  Change();
  EXPECT_TRUE(w.Save());
  EXPECT_TRUE(asked_.empty()) << "our own file, as we left it";
  const std::string theirs = OnDisk() + "\r\n";
  doc_test::WriteBytes(folder_ / "shop.map", theirs);
  Change();
  answer_ = false;
  EXPECT_FALSE(w.Save());
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_.back(), "ファイルは他のプログラムによって変更されています。上書きしますか？");
  EXPECT_EQ(OnDisk(), theirs) << "No leaves their file";
  EXPECT_TRUE(IsModified()) << "and our document";
  answer_ = true;
  EXPECT_TRUE(w.Save());
  EXPECT_EQ(OnDisk(), PrepareSave().Bytes);
  EXPECT_EQ(asked_.size(), 2u);
}

}  // namespace
