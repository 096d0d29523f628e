// The program's pictures: bitmap 104 (the product logo, 118 x 38), bitmap 105 (the plug-and-play logo,
// 77 x 41) and icon 2 (the program icon, 32 x 32). They are drawn by the program itself.
#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>

// The bitmap of the given resource number; an invalid bitmap for a number the program has none of.
wxBitmap LoadBitmapResource(int id);
// The program icon (resource 2).
wxIcon LoadProgramIcon();
// The program icon drawn as a square image of the given side (the icon is its 32-pixel form); the
// desktop's icon files are made with it at build time. An invalid image when wx has no graphics renderer.
wxImage DrawProgramIcon(int size);
