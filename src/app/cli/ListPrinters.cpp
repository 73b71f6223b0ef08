// tessora --list-printers: the print queues that --print and the print dialog offer, one line each:
//   <name> <* for the default queue, - otherwise> <idle|printing|stopped|rejecting> <paper,paper,...>
// Paper sizes are the media names the queue accepts. Exits 1 with the reason when the print server
// cannot be asked; a server without queues prints nothing.
#include <iostream>
#include <string>

#include "app/cli/CommandLine.h"
#include "app/platform/CupsQueues.h"
#include "base/Error.h"
#include "base/Sjis.h"

int RunListPrinters(CommandArgs args) {
  if (!args.empty()) return kExitUsage;
  std::string out;
  try {
    for (const MPrintQueue& queue : ListPrintQueues(true)) {
      std::string media;
      for (const std::string& name : queue.Media) media += (media.empty() ? "" : ",") + name;
      out += queue.Name + (queue.IsDefault ? " * " : " - ") + queue.State + ' ' +
             (media.empty() ? "-" : media) + '\n';
    }
  } catch (const base::Error& error) {
    std::cerr << "tessora: " << base::SjisToUtf8(error.what()) << '\n';
    return kExitFailure;
  }
  std::cout << out;
  return kExitSuccess;
}
