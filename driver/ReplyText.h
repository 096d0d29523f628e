/* Text handling of the RQK4712V driver that needs no VISA: decoding of module replies and checks of the
 * texts callers hand in. Every function works on caller buffers, never writes beyond the size it is given
 * and always terminates what it writes (size 0 writes nothing). */
#ifndef RQK4712V_REPLY_TEXT_H
#define RQK4712V_REPLY_TEXT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Copies src into dst, cut to size - 1 characters. Returns the number of characters written. */
size_t RqkCopyText(char* dst, size_t size, const char* src);

/* Removes the line feeds, carriage returns, spaces and tabs that end a reply. */
void RqkTrimEnd(char* text);

/* Decodes a SCPI string: when the text (after leading spaces) begins with a double quote, writes what
 * lies between it and the closing quote, a doubled quote standing for one; otherwise writes the text as
 * it is. A missing closing quote takes the rest of the text. */
void RqkUnquote(char* dst, size_t size, const char* src);

/* Reads a decimal number that makes the whole reply (leading and trailing spaces allowed, a sign, and a
 * fraction which is rounded to the nearest integer). Returns 1 and sets *value when it lies in
 * [min, max], 0 otherwise. */
int RqkParseInteger(const char* text, int64_t min, int64_t max, int64_t* value);

/* Decodes an error-queue entry `<code>,"<text>"`. Returns 1 with the code and the text (unquoted, cut to
 * the buffer), 0 when the reply does not have that form or the code does not fit 32 bits. */
int RqkParseErrorEntry(const char* text, int32_t* code, char* message, size_t size);

/* The firmware field (the fourth comma-separated field) of an identity reply, cut to the buffer; empty
 * when there is none. */
void RqkIdentityFirmware(const char* identity, char* dst, size_t size);

/* Writes the channel list for a route command, `(@<list>)`, from the caller's list given without or with
 * the `(@...)` wrapper. The items are channels (digits) or ranges (digits:digits) separated by commas,
 * spaces allowed around them. Returns 1 on success, 0 when the list is empty, has another character,
 * or does not fit the buffer. */
int RqkWrapChannelList(const char* list, char* dst, size_t size);

/* 1 when the text may be sent as a quoted option list: at most 255 printable characters, no quote. */
int RqkIsOptionListText(const char* options);

/* 1 when text begins with prefix, letters compared without regard to case. */
int RqkStartsWithNoCase(const char* text, const char* prefix);

/* 1 when channel is card x 100 + group x 10 + channel with card 1..99, group 0..5, channel 0..5. */
int RqkIsChannelNumber(int32_t channel);

#ifdef __cplusplus
}
#endif

#endif
