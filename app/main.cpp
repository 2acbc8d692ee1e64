// notora: the desktop dialog that rewrites the text of IGES General Notes.
#include "app/convert_app.h"

int main(int argc, char** argv) {
  notora::CConvertApp app(argc, argv);
  return app.Run();
}
