// tessora-barcode: draws one barcode with the barcode component, or prints its bar pattern; for the
// two-dimensional codes (QR Code, Data Matrix) the symbol's module grid.
//
//   tessora-barcode --type TYPE [options] (--pattern | --png FILE | --svg FILE) CODE
//
// Exit status: 0 done, 1 the code cannot be encoded or the file cannot be written, 2 bad arguments.
// Arguments are UTF-8; the component works in Shift-JIS.
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/HeadlessQt.h"
#include "barcode/BarImage.h"
#include "barcode/BarMatrix.h"
#include "barcode/BarMatrixPicture.h"
#include "base/Numbers.h"
#include "base/Sjis.h"

namespace {

constexpr const char* kUsage =
    "usage: tessora-barcode --type TYPE [--cd] [--start C] [--stop C] [--scale N] [--ratio N]\n"
    "                       [--height N] [--no-text] [--frame N] [--comment-up TEXT]\n"
    "                       [--comment-down TEXT] [--ecc L|M|Q|H]\n"
    "                       (--pattern | --png FILE | --svg FILE) [--] CODE\n"
    "  TYPE   jan upc code39 nw7 itf ctf iata matrix nec customer code128 code93 (linear)\n"
    "         qr datamatrix (two-dimensional: only --scale and --ecc apply)\n"
    "  --cd          append the optional check character\n"
    "  --start C     NW-7 start character, Code 128 start set (A-D)\n"
    "  --stop C      NW-7 stop character (A-D)\n"
    "  --scale N     pixels per module (1-10)\n"
    "  --ratio N     wide-to-narrow ratio in tenths (20-30)\n"
    "  --height N    height of bars and text in pixels (1-10000)\n"
    "  --no-text     no human-readable line\n"
    "  --frame N     frame thickness in pixels (0-100)\n"
    "  --ecc L|M|Q|H QR Code error correction (M)\n"
    "  --pattern     print the bar pattern and the human-readable text; for a 2D code its\n"
    "                modules, one row a line, 1 dark and 0 light\n";

constexpr std::string_view kTypeNames[barcode::kBarTypeCount] = {
    "jan", "upc", "code39", "nw7", "itf", "ctf", "iata", "matrix", "nec", "customer", "code128", "code93"};

constexpr std::string_view kMatrixNames[] = {"qr", "datamatrix"};
constexpr std::string_view kLevelNames[] = {"L", "M", "Q", "H"};

struct Options {
  std::optional<barcode::TBarTypes> type;
  std::optional<barcode::TMatrixTypes> matrix;
  barcode::TQRLevel level = barcode::qrM;
  bool cd = false;
  char startChar = 'A';
  char stopChar = 'A';
  int scale = 1;
  int ratio = 20;
  std::optional<int> height;
  bool text = true;
  int frame = 0;
  std::string commentUp;
  std::string commentDown;
  enum class Output { None, Pattern, Png, Svg } output = Output::None;
  std::string file;
  std::optional<std::string> code;
};

class UsageError {
 public:
  explicit UsageError(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

int ParseRange(std::string_view option, std::string_view text, int low, int high) {
  int value = 0;
  if (!base::ParseInt(text, value) || value < low || value > high)
    throw UsageError(std::string(option) + " needs a number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + std::string(text) + "\"");
  return value;
}

char ParseChar(std::string_view option, std::string_view text) {
  if (text.size() != 1 || text[0] < 'A' || text[0] > 'D')
    throw UsageError(std::string(option) + " needs one of A, B, C, D, not \"" + std::string(text) + "\"");
  return text[0];
}

void SetOutput(Options& o, Options::Output output, std::string file = {}) {
  if (o.output != Options::Output::None) throw UsageError("give only one of --pattern, --png and --svg");
  o.output = output;
  o.file = std::move(file);
}

Options ParseArguments(const std::vector<std::string>& args) {
  Options o;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (o.code) throw UsageError("more than one code given");
      o.code = arg;
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--type") {
      const std::string& name = value();
      o.type.reset();
      o.matrix.reset();
      for (int t = 0; t < barcode::kBarTypeCount; ++t)
        if (kTypeNames[t] == name) o.type = static_cast<barcode::TBarTypes>(t);
      for (int t = 0; t < 2; ++t)
        if (kMatrixNames[t] == name) o.matrix = static_cast<barcode::TMatrixTypes>(t);
      if (!o.type && !o.matrix) throw UsageError("unknown barcode type \"" + name + "\"");
    } else if (arg == "--ecc") {
      const std::string& name = value();
      int level = -1;
      for (int l = 0; l < 4; ++l)
        if (kLevelNames[l] == name) level = l;
      if (level < 0) throw UsageError("--ecc needs one of L, M, Q, H, not \"" + name + "\"");
      o.level = static_cast<barcode::TQRLevel>(level);
    } else if (arg == "--cd") {
      o.cd = true;
    } else if (arg == "--start") {
      o.startChar = ParseChar(arg, value());
    } else if (arg == "--stop") {
      o.stopChar = ParseChar(arg, value());
    } else if (arg == "--scale") {
      o.scale = ParseRange(arg, value(), barcode::TBarImage::kMinScale, barcode::TBarImage::kMaxScale);
    } else if (arg == "--ratio") {
      o.ratio = ParseRange(arg, value(), barcode::TBarImage::kMinElementRatio,
                           barcode::TBarImage::kMaxElementRatio);
    } else if (arg == "--height") {
      o.height = ParseRange(arg, value(), 1, 10000);
    } else if (arg == "--no-text") {
      o.text = false;
    } else if (arg == "--frame") {
      o.frame = ParseRange(arg, value(), 0, barcode::TBarImage::kMaxBarFrame);
    } else if (arg == "--comment-up") {
      o.commentUp = value();
    } else if (arg == "--comment-down") {
      o.commentDown = value();
    } else if (arg == "--pattern") {
      SetOutput(o, Options::Output::Pattern);
    } else if (arg == "--png") {
      SetOutput(o, Options::Output::Png, value());
    } else if (arg == "--svg") {
      SetOutput(o, Options::Output::Svg, value());
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  if (!o.type && !o.matrix) throw UsageError("--type is missing");
  if (o.output == Options::Output::None) throw UsageError("give one of --pattern, --png and --svg");
  if (!o.code) throw UsageError("the code is missing");
  return o;
}

// Sets up the component with one paint at the end.
void Configure(barcode::TBarImage& bar, const Options& o) {
  bar.SetBarEnabled(false);
  bar.SetBarType(*o.type);
  bar.SetCD(o.cd);
  bar.SetStartChar(o.startChar);
  bar.SetStopChar(o.stopChar);
  bar.SetScale(o.scale);
  bar.SetElementRatio(o.ratio);
  if (o.height) bar.SetBarHeight(*o.height);
  bar.SetSymbolDisp(o.text);
  bar.SetBarFrame(o.frame);
  bar.SetCommentUp(base::Utf8ToSjis(o.commentUp));
  bar.SetCommentDown(base::Utf8ToSjis(o.commentDown));
  // Comments take no room of their own: give them the margins above and below the bars.
  if (QGuiApplication::instance() != nullptr) {
    const int room = QFontMetrics(bar.BarFont()).height();
    if (!o.commentUp.empty()) bar.SetBarSpaceUp(room);
    if (!o.commentDown.empty()) bar.SetBarSpaceDown(room);
  }
  bar.SetMatch(true);
  if (o.output == Options::Output::Svg) bar.SetBarPicture(barcode::pbarEMF);
  if (o.output == Options::Output::Pattern) bar.SetBarDebug(true);
  bar.SetCode(base::Utf8ToSjis(*o.code));
}

bool WriteFile(const std::string& name, const QByteArray& bytes) {
  QFile file(QString::fromStdString(name));
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) return true;
  std::cerr << "tessora-barcode: cannot write " << name << "\n";
  return false;
}

// A QR Code or Data Matrix: its modules, or its picture with the quiet zone, --scale pixels a module.
int RunMatrix(const Options& o) {
  const barcode::TBarMatrix matrix = barcode::EncodeMatrix(*o.matrix, base::Utf8ToSjis(*o.code), o.level);
  if (matrix.Empty()) {
    std::cerr << "tessora-barcode: the code \"" << *o.code << "\" cannot be encoded as "
              << kMatrixNames[*o.matrix] << "\n";
    return 1;
  }
  const int quiet = barcode::MatrixQuietZone(*o.matrix);
  switch (o.output) {
    case Options::Output::Pattern:
      std::cout << matrix.Pattern();
      return std::cout.flush() ? 0 : 1;
    case Options::Output::Png: {
      const QImage image = barcode::MatrixImage(matrix, quiet, o.scale);
      if (image.isNull() || !image.save(QString::fromStdString(o.file), "PNG")) {
        std::cerr << "tessora-barcode: cannot write " << o.file << "\n";
        return 1;
      }
      return 0;
    }
    case Options::Output::Svg:
      return WriteFile(o.file, barcode::MatrixSvg(matrix, quiet, o.scale)) ? 0 : 1;
    case Options::Output::None:
      break;
  }
  return 2;
}

int Run(const Options& o, char* program) {
  // Text needs Qt's fonts, which need a QGuiApplication; a file is drawn without a display. Qt sees
  // only the program name: a code such as "-platform" is not Qt's business.
  int qtArgc = 1;
  char* qtArgv[] = {program, nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (o.output != Options::Output::Pattern) {
    PrepareHeadlessQt();
    app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
  }

  if (o.matrix) return RunMatrix(o);

  barcode::TBarImage bar;
  Configure(bar, o);
  bar.SetBarEnabled(true);
  if (!bar.BarDisped()) {
    std::cerr << "tessora-barcode: the code \"" << *o.code << "\" cannot be encoded as "
              << kTypeNames[*o.type] << "\n";
    return 1;
  }

  switch (o.output) {
    case Options::Output::Pattern:
      std::cout << bar.BarPattern() << "\n" << base::SjisToUtf8(bar.SymbolText()) << "\n";
      return std::cout.flush() ? 0 : 1;
    case Options::Output::Png: {
      if (!bar.PictureImage().save(QString::fromStdString(o.file), "PNG")) {
        std::cerr << "tessora-barcode: cannot write " << o.file << "\n";
        return 1;
      }
      return 0;
    }
    case Options::Output::Svg:
      return WriteFile(o.file, bar.PictureSvg()) ? 0 : 1;
    case Options::Output::None:
      break;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  try {
    options = ParseArguments(args);
  } catch (const UsageError& e) {
    std::cerr << "tessora-barcode: " << e.Message() << "\n" << kUsage;
    return 2;
  }
  return Run(options, argv[0]);
}
