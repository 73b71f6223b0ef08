#include "app/platform/CupsQueues.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "base/Error.h"
#include "base/Sjis.h"

namespace {

// Named sizes a page is sent as when it is one of them (portrait, in millimetres): the ISO and JIS
// sizes Japanese users mean, the North American ones, postcards, and photo and label sizes.
struct NamedPaper {
  const char* media;
  double width;
  double height;
};
constexpr NamedPaper kNamedPapers[] = {
    {"iso_a3_297x420mm", 297, 420},         {"iso_a4_210x297mm", 210, 297},
    {"iso_a5_148x210mm", 148, 210},         {"iso_a6_105x148mm", 105, 148},
    {"jis_b4_257x364mm", 257, 364},         {"jis_b5_182x257mm", 182, 257},
    {"na_letter_8.5x11in", 215.9, 279.4},   {"na_legal_8.5x14in", 215.9, 355.6},
    {"jpn_hagaki_100x148mm", 100, 148},     {"jpn_oufuku_148x200mm", 148, 200},
    {"oe_photo-l_3.5x5in", 88.9, 127},      {"na_index-4x6_4x6in", 101.6, 152.4},
    {"om_small-photo_100x150mm", 100, 150}, {"na_5x7_5x7in", 127, 177.8},
};

// How long the window waits for a print server that does not answer.
constexpr int kConnectMs = 10000;

// The tolerance of a match: a page within this much of a named size is that size.
constexpr double kMatchMm = 1.0;

bool Failed(ipp_status_t status) { return status > IPP_STATUS_OK_EVENTS_COMPLETE; }

[[noreturn]] void Fail(const std::string& utf8) { throw base::Error(base::Utf8ToSjis(utf8)); }

// What CUPS said about the last request.
std::string LastError() {
  const char* text = cupsLastErrorString();
  return text != nullptr && *text != '\0' ? std::string(text) : std::string(ippErrorString(cupsLastError()));
}

std::string Option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value != nullptr ? std::string(value) : std::string();
}

std::string StateOf(const cups_dest_t& dest) {
  if (Option(dest, "printer-is-accepting-jobs") == "false") return "rejecting";
  const std::string state = Option(dest, "printer-state");
  if (state == "4") return "printing";
  if (state == "5") return "stopped";
  return "idle";
}

}  // namespace

// The connection to the server, a queue's description and what the queue supports, released
// together. The connection goes to the server CUPS is set to (cupsServer: the system's, or the one
// CUPS_SERVER names), not to the address a queue gives for itself: a local queue names itself as
// "localhost", which a server listening on a socket only is not.
struct MCupsConnection {
  http_t* http = nullptr;
  cups_dest_t* dest = nullptr;
  cups_dinfo_t* info = nullptr;

  MCupsConnection() {
    http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs, nullptr);
    if (http == nullptr) Fail("印刷サーバーに接続できません: " + LastError());
  }
  ~MCupsConnection() {
    if (info != nullptr) cupsFreeDestInfo(info);
    if (dest != nullptr) cupsFreeDests(1, dest);
    httpClose(http);
  }
  // What the queue supports, asked once the queue is found.
  void AskInfo() {
    info = cupsCopyDestInfo(http, dest);
    if (info == nullptr)
      Fail(std::string("プリンター「") + dest->name + "」の設定を読めません: " + LastError());
  }
};

namespace {

// The paper sizes the queue accepts, each once.
std::vector<std::string> MediaOf(http_t* http, cups_dest_t* dest) {
  std::vector<std::string> media;
  cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
  if (info == nullptr) return media;  // a queue that cannot be asked lists no paper
  // "media-supported": the size names, with the range of custom sizes as custom_min_ and custom_max_.
  ipp_attribute_t* supported = cupsFindDestSupported(http, dest, info, "media");
  for (int n = 0; supported != nullptr && n < ippGetCount(supported); ++n) {
    const char* name = ippGetString(supported, n, nullptr);
    if (name != nullptr && std::find(media.begin(), media.end(), name) == media.end())
      media.emplace_back(name);
  }
  cupsFreeDestInfo(info);
  return media;
}

}  // namespace

std::vector<MPrintQueue> ListPrintQueues(bool withMedia) {
  const MCupsConnection server;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(server.http, &dests);
  // A server without queues answers "not found"; anything else that failed is the server's trouble.
  if (count == 0 && Failed(cupsLastError()) && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
    Fail("印刷サーバーに接続できません: " + LastError());
  std::vector<MPrintQueue> queues;
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& dest = dests[i];
    if (dest.instance != nullptr) continue;  // the user's option sets of a queue, not queues
    queues.push_back(MPrintQueue{dest.name, dest.is_default != 0, StateOf(dest), {}});
    if (withMedia) queues.back().Media = MediaOf(server.http, &dests[i]);
  }
  cupsFreeDests(count, dests);
  return queues;
}

MPaperRequest PaperForPage(int widthMm, int heightMm) {
  const bool landscape = widthMm > heightMm;
  const double shorter = std::min(widthMm, heightMm), longer = std::max(widthMm, heightMm);
  for (const NamedPaper& paper : kNamedPapers) {
    if (std::abs(shorter - paper.width) <= kMatchMm && std::abs(longer - paper.height) <= kMatchMm)
      return MPaperRequest{paper.media, landscape};
  }
  // Any other page goes as it stands, so that a label arrives as the label and unrotated.
  return MPaperRequest{"Custom." + std::to_string(widthMm) + "x" + std::to_string(heightMm) + "mm", false};
}

MCupsQueue::MCupsQueue(std::string_view name) : name_(name), cups_(std::make_unique<MCupsConnection>()) {
  cups_->dest = cupsGetNamedDest(cups_->http, name_.empty() ? nullptr : name_.c_str(), nullptr);
  if (cups_->dest == nullptr) {
    const bool missing = cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND;
    if (name_.empty() && missing) Fail("既定のプリンターがありません。プリンターを指定してください。");
    if (missing) Fail("プリンター「" + name_ + "」がありません。");
    Fail("印刷サーバーに接続できません: " + LastError());
  }
  name_ = cups_->dest->name;
  cups_->AskInfo();
}

MCupsQueue::~MCupsQueue() = default;

MPaperMargins MCupsQueue::Margins(const MPaperRequest& paper, int widthMm, int heightMm) {
  cups_size_t size{};
  const bool custom = paper.Media.rfind("Custom.", 0) == 0;
  const bool found = custom
                         ? cupsGetDestMediaBySize(cups_->http, cups_->dest, cups_->info, widthMm * 100,
                                                  heightMm * 100, CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0
                         : cupsGetDestMediaByName(cups_->http, cups_->dest, cups_->info, paper.Media.c_str(),
                                                  CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0;
  // Only the margins of the paper asked for: the nearest other size the printer would offer says
  // nothing about this one.
  const int shorter = std::min(widthMm, heightMm) * 100, longer = std::max(widthMm, heightMm) * 100;
  const bool same = found && std::abs(std::min(size.width, size.length) - shorter) <= 100 &&
                    std::abs(std::max(size.width, size.length) - longer) <= 100;
  if (!same) return {};
  const MPaperMargins portrait{size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0};
  if (!paper.Landscape) return portrait;
  // A landscape page lies on the paper turned a quarter counter-clockwise: its top along the paper's
  // left edge, its left along the paper's bottom.
  return MPaperMargins{portrait.Bottom, portrait.Left, portrait.Top, portrait.Right};
}

void MCupsQueue::Submit(const std::string& pdfPath, const MPaperRequest& paper, const MJobOptions& options) {
  cups_option_t* list = nullptr;
  int count = 0;
  count = cupsAddOption("copies", std::to_string(std::max(options.Copies, 1)).c_str(), count, &list);
  count = cupsAddOption(
      "multiple-document-handling",
      options.Collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies", count,
      &list);
  count = cupsAddOption("media", paper.Media.c_str(), count, &list);
  count = cupsAddOption("orientation-requested", paper.Landscape ? "4" : "3", count, &list);
  // The PDF is laid out for the paper already: the server must not fit it again.
  count = cupsAddOption("print-scaling", "none", count, &list);

  int job = 0;
  const ipp_status_t created =
      cupsCreateDestJob(cups_->http, cups_->dest, cups_->info, &job, options.Title.c_str(), count, list);
  cupsFreeOptions(count, list);
  if (Failed(created) || job == 0)
    Fail("プリンター「" + name_ + "」が印刷を受け付けませんでした。\n" + LastError());

  std::string reason;
  if (cupsStartDestDocument(cups_->http, cups_->dest, cups_->info, job, options.Title.c_str(),
                            CUPS_FORMAT_PDF, 0, nullptr, 1) != HTTP_STATUS_CONTINUE) {
    reason = LastError();
  } else {
    std::ifstream in(pdfPath, std::ios::binary);
    char buffer[65536];
    bool written = static_cast<bool>(in);
    while (written && in) {
      in.read(buffer, sizeof buffer);
      const std::streamsize got = in.gcount();
      if (got > 0)
        written = cupsWriteRequestData(cups_->http, buffer, static_cast<size_t>(got)) == HTTP_STATUS_CONTINUE;
    }
    if (!in.eof()) written = false;
    const ipp_status_t finished = cupsFinishDestDocument(cups_->http, cups_->dest, cups_->info);
    if (!written)
      reason = "印刷データを送れません。";
    else if (Failed(finished))
      reason = LastError();
  }
  if (reason.empty()) return;
  cupsCancelDestJob(cups_->http, cups_->dest, job);
  Fail("プリンター「" + name_ + "」が印刷を受け付けませんでした。\n" + reason);
}
