// Build-time tool: writes the program icon, drawn by the program's own icon code, as PNG files for the
// desktop's hicolor icon theme.
//   sfp-render-icon FOLDER SIZE...   writes FOLDER/<SIZE>x<SIZE>/apps/rqk4712v-sfp.png for each size
#include <cstdio>
#include <cstdlib>
#include <string>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>

#include "resources/wx/Bitmaps.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    wxInitializer wx(argc, argv);
    if (!wx.IsOk()) {
        std::fprintf(stderr, "%s: cannot start wxWidgets\n", argv[0]);
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 2;
        }
        const std::string side = std::to_string(size);
        const wxString file =
            wxString::FromUTF8(std::string(argv[1]) + "/" + side + "x" + side + "/apps/rqk4712v-sfp.png");
        if (!wxFileName::Mkdir(wxFileName(file).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL) ||
            !DrawProgramIcon(size).SaveFile(file, wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], static_cast<const char*>(file.utf8_str()));
            return 1;
        }
    }
    return 0;
}
