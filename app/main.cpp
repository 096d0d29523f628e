#include "app/SfpApp.h"

wxIMPLEMENT_APP(CSfpApp);
