// The Configuration command of the main window's System menu: lets the operator choose the device type
// attached to each group and stores the choice on the module card.
#pragma once

void OnConfig();
