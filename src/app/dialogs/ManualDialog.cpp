#include "app/dialogs/ManualDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/dialogs/DialogParts.h"
#include "app/platform/Icons.h"

// Outside any namespace, as Q_INIT_RESOURCE wants; the reference keeps the resource of the static
// library in the program.
static void InitManualResource() { Q_INIT_RESOURCE(Manual); }

namespace {

const QString kRoot = QStringLiteral(":/manual/");
const QString kContents = QStringLiteral("index.md");

// The anchor of a heading as the usual Markdown renderers make it, so that links written for them
// ("layout-language.md#text-elements") land here too: lower case, letters, digits, "-" and "_"
// kept, blanks become "-", everything else dropped.
QString HeadingAnchor(const QString& heading) {
  QString anchor;
  for (const QChar c : heading.trimmed().toLower()) {
    if (c.isLetterOrNumber() || c == '-' || c == '_')
      anchor += c;
    else if (c == ' ')
      anchor += '-';
  }
  return anchor;
}

// Qt's Markdown import gives headings no anchors: each page gets them once it is loaded, numbered
// like the renderers number repeated headings ("usage", "usage-1").
class MManualBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
    QTextBrowser::doSetSource(name, type);
    QSet<QString> used;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
      if (block.blockFormat().headingLevel() == 0) continue;
      const QString base = HeadingAnchor(block.text());
      QString anchor = base;
      for (int n = 1; used.contains(anchor); ++n) anchor = base + '-' + QString::number(n);
      used.insert(anchor);
      QTextCursor cursor(block);
      cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      QTextCharFormat format;
      format.setAnchor(true);
      format.setAnchorNames({anchor});
      cursor.mergeCharFormat(format);
    }
    document()->setDocumentMargin(12);  // the text does not touch the frame
    document()->setModified(false);
    if (name.hasFragment()) scrollToAnchor(name.fragment());
  }
};

}  // namespace

TdlgManual::TdlgManual(QWidget* parent, const QString& page) : QDialog(parent) {
  InitManualResource();
  setObjectName(QStringLiteral("dlgManual"));
  setWindowTitle(QStringLiteral("Tessora マニュアル"));
  setAccessibleName(windowTitle());
  setWindowIcon(IconFor(MIcon::Help));
  // A window of its own beside the editor, for reading while working.
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
  setModal(false);
  resize(820, 760);

  btnBack = new QPushButton(QStringLiteral("戻る(&B)"), this);
  NameControl(btnBack, "btnBack", QStringLiteral("戻る"));
  btnForward = new QPushButton(QStringLiteral("進む(&F)"), this);
  NameControl(btnForward, "btnForward", QStringLiteral("進む"));
  btnContents = new QPushButton(QStringLiteral("目次(&C)"), this);
  NameControl(btnContents, "btnContents", QStringLiteral("目次"));
  btnClose = new QPushButton(QStringLiteral("閉じる"), this);
  NameControl(btnClose, "btnClose", QStringLiteral("閉じる"));
  for (QPushButton* button : {btnBack, btnForward, btnContents, btnClose}) button->setAutoDefault(false);

  tbManual = new MManualBrowser(this);
  NameControl(tbManual, "tbManual", QStringLiteral("マニュアル"));
  tbManual->setOpenLinks(true);
  tbManual->setOpenExternalLinks(true);  // the web in the desktop's browser
  tbManual->setSearchPaths({kRoot});

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnBack);
  buttons->addWidget(btnForward);
  buttons->addWidget(btnContents);
  buttons->addStretch(1);
  buttons->addWidget(btnClose);
  auto* column = new QVBoxLayout(this);
  column->addLayout(buttons);
  column->addWidget(tbManual, 1);

  connect(btnBack, &QPushButton::clicked, tbManual, &QTextBrowser::backward);
  connect(btnForward, &QPushButton::clicked, tbManual, &QTextBrowser::forward);
  connect(btnContents, &QPushButton::clicked, this, [this] { OpenPage({}); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
  connect(tbManual, &QTextBrowser::historyChanged, this, [this] { UpdateButtons(); });
  connect(tbManual, &QTextBrowser::sourceChanged, this, [this] { UpdateButtons(); });

  OpenPage(page);
  tbManual->setFocus();
}

QUrl TdlgManual::PageUrl(const QString& page) {
  const QString name = page.isEmpty() ? kContents : page;
  QUrl url(QStringLiteral("qrc:/manual/"));
  return url.resolved(QUrl(name));
}

QStringList TdlgManual::Pages() {
  InitManualResource();
  QStringList pages = QDir(kRoot).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
  pages.removeAll(kContents);
  pages.prepend(kContents);
  return pages;
}

void TdlgManual::OpenPage(const QString& page) {
  tbManual->setSource(PageUrl(page), QTextDocument::MarkdownResource);
}

QUrl TdlgManual::CurrentPage() const { return tbManual->source(); }

void TdlgManual::UpdateButtons() {
  btnBack->setEnabled(tbManual->isBackwardAvailable());
  btnForward->setEnabled(tbManual->isForwardAvailable());
}
