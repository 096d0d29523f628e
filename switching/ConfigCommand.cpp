#include "switching/ConfigCommand.h"

// The Configuration dialog is not in the program yet; the command does nothing until it is.
void OnConfig() {}
