// notora: the desktop dialog that rewrites the text of IGES General Notes.
//
//   notora                         runs the dialog until the user leaves it (0)
//   notora FILE                    the same, with FILE as the source, as if it
//                                  had been chosen with Browse (0)
//   notora --version               prints "notora <version>" (0)
//   notora --help                  prints this usage (0)
//   notora --screenshot FILE.png   renders the dialog as it first opens into a
//                                  new FILE.png and ends (0; 2 when FILE.png
//                                  exists or cannot be written)
// Anything else is bad usage (64). Qt's own options (-platform, -style, ...)
// are taken by Qt. --version, --help and unknown long options are answered
// before the application starts, so they need no display.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/convert_app.h"
#include "base/version.h"

namespace {

constexpr int kExitFailed = 2;
constexpr int kExitUsage = 64;

constexpr char kUsage[] =
    "usage: notora [FILE]\n"
    "       notora --screenshot FILE.png\n"
    "       notora --version | --help\n"
    "Opens the notora dialog, which rewrites the text of General Notes (IGES entity 212).\n"
    "  FILE                   the IGES file to convert: the dialog opens with it as the\n"
    "                         source, as if it had been chosen with 参照(S)\n"
    "  --screenshot FILE.png  render the dialog as it first opens into a new PNG file\n"
    "                         (never over an existing one) and end, showing nothing\n"
    "  --version              print the version and exit\n"
    "  --help                 print this help and exit\n";

int ShowUsageError(const char* argument) {
  std::fprintf(stderr, "notora: unexpected argument %s\n%s", argument, kUsage);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // notora's own long options are read before Qt starts, so that they answer
  // (or fail) without a display; Qt's options begin with a single "-".
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--version") {
      std::printf("notora %s\n", notora::kVersion);
      return 0;
    }
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument.starts_with("--") && argument != "--screenshot" &&
        !argument.starts_with("--screenshot=")) {
      return ShowUsageError(argv[i]);
    }
  }

  notora::CConvertApp app(argc, argv);
  // The arguments Qt left: the program's name, then notora's own.
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  if (arguments.isEmpty()) return app.Run();
  // One argument that is no option is the source (a desktop's "Open with").
  if (arguments.size() == 1 && !arguments.at(0).startsWith(u'-')) return app.Run(arguments.at(0));

  QString picture;
  if (arguments.size() == 2 && arguments.at(0) == QLatin1String("--screenshot")) {
    picture = arguments.at(1);
  } else if (arguments.size() == 1 && arguments.at(0).startsWith(QLatin1String("--screenshot="))) {
    picture = arguments.at(0).mid(static_cast<int>(std::strlen("--screenshot=")));
  }
  if (picture.isEmpty()) return ShowUsageError(qPrintable(arguments.at(0)));
  if (!app.RenderDialog(picture)) {
    std::fprintf(stderr, "notora: %s exists or cannot be written; a picture is never written "
                         "over a file.\n", qPrintable(picture));
    return kExitFailed;
  }
  return 0;
}
