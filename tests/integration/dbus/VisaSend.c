/* A second program on the simulated module: sends each message to the resource through the VISA library
 * that RQK4712V_VISA_LIBRARY names (as the panel loads it) and prints the reply of each query.
 * Usage: visa_send RESOURCE MESSAGE... Exits 1 when a message cannot be sent or a reply read. */
#include <stdio.h>
#include <string.h>

#include "VisaLoader.h"

int main(int argc, char** argv) {
    VisaApi api;
    ViSession rm = 0;
    ViSession vi = 0;
    if (argc < 3 || !VisaLoad(&api) || api.viOpenDefaultRM(&rm) < 0 ||
        api.viOpen(rm, argv[1], 0, 0, &vi) < 0) {
        fprintf(stderr, "visa_send: cannot open %s\n", argc > 1 ? argv[1] : "(no resource)");
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        ViUInt32 count = 0;
        if (api.viWrite(vi, (ViConstBuf)argv[i], (ViUInt32)strlen(argv[i]), &count) < 0) {
            fprintf(stderr, "visa_send: cannot send %s\n", argv[i]);
            return 1;
        }
        if (strchr(argv[i], '?') != NULL) {
            char reply[256];
            if (api.viRead(vi, (ViBuf)reply, sizeof reply - 1, &count) < 0) {
                fprintf(stderr, "visa_send: no reply to %s\n", argv[i]);
                return 1;
            }
            reply[count] = '\0';
            printf("%s", reply);
        }
    }
    api.viClose(vi);
    api.viClose(rm);
    return 0;
}
