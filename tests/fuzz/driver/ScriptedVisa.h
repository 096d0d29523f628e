/* A VISA library whose instrument replies come from a script of bytes, for driving the driver's message
 * exchange with any replies a device or a VISA library could give. */
#ifndef SCRIPTED_VISA_H
#define SCRIPTED_VISA_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Starts a new script; the bytes must stay valid while it is used. */
void ScriptedVisaStart(const uint8_t* data, size_t size);
/* The next byte of the script into *byte; 0 when the script is exhausted. */
int ScriptedVisaNext(uint8_t* byte);

#ifdef __cplusplus
}
#endif

#endif
