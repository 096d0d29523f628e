#include "ReplyText.h"

#include <ctype.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

size_t RqkCopyText(char* dst, size_t size, const char* src) {
    if (size == 0) {
        return 0;
    }
    size_t n = 0;
    if (src != NULL) {
        while (n + 1 < size && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

static int IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void RqkTrimEnd(char* text) {
    size_t n = strlen(text);
    while (n > 0 && IsBlank(text[n - 1])) {
        text[--n] = '\0';
    }
}

static const char* SkipBlanks(const char* text) {
    while (*text != '\0' && IsBlank(*text)) {
        ++text;
    }
    return text;
}

void RqkUnquote(char* dst, size_t size, const char* src) {
    if (size == 0) {
        return;
    }
    const char* p = SkipBlanks(src);
    if (*p != '"') {
        RqkCopyText(dst, size, p);
        return;
    }
    ++p;
    size_t n = 0;
    while (*p != '\0') {
        if (*p == '"') {
            if (p[1] != '"') {
                break;
            }
            ++p; /* a doubled quote stands for one */
        }
        if (n + 1 < size) {
            dst[n++] = *p;
        }
        ++p;
    }
    dst[n] = '\0';
}

int RqkParseInteger(const char* text, int64_t min, int64_t max, int64_t* value) {
    const char* p = SkipBlanks(text);
    if (*p == '\0') {
        return 0;
    }
    /* Only plain decimal numbers: strtod alone would also take "inf", "nan" and hexadecimal. */
    const char* q = p;
    if (*q == '+' || *q == '-') {
        ++q;
    }
    if (!isdigit((unsigned char)*q) && !(*q == '.' && isdigit((unsigned char)q[1]))) {
        return 0;
    }
    for (const char* c = q; *c != '\0' && !IsBlank(*c); ++c) {
        if (!isdigit((unsigned char)*c) && *c != '.' && *c != 'e' && *c != 'E' && *c != '+' && *c != '-') {
            return 0;
        }
    }
    char* end = NULL;
    double number = strtod(p, &end);
    if (end == p || *SkipBlanks(end) != '\0' || !isfinite(number)) {
        return 0;
    }
    double rounded = floor(number + 0.5);
    if (rounded < (double)min || rounded > (double)max) {
        return 0;
    }
    *value = (int64_t)rounded;
    return 1;
}

int RqkParseErrorEntry(const char* text, int32_t* code, char* message, size_t size) {
    RqkCopyText(message, size, "");
    const char* comma = strchr(text, ',');
    if (comma == NULL) {
        return 0;
    }
    char number[32];
    size_t length = (size_t)(comma - text);
    if (length >= sizeof(number)) {
        return 0;
    }
    memcpy(number, text, length);
    number[length] = '\0';
    int64_t value = 0;
    if (!RqkParseInteger(number, INT32_MIN, INT32_MAX, &value) || strchr(number, '.') != NULL) {
        return 0;
    }
    *code = (int32_t)value;
    RqkUnquote(message, size, comma + 1);
    return 1;
}

void RqkIdentityFirmware(const char* identity, char* dst, size_t size) {
    const char* p = identity;
    for (int field = 0; field < 3 && p != NULL; ++field) {
        p = strchr(p, ',');
        if (p != NULL) {
            ++p;
        }
    }
    if (p == NULL) {
        RqkCopyText(dst, size, "");
        return;
    }
    p = SkipBlanks(p);
    size_t n = strcspn(p, ",");
    char field[256];
    if (n >= sizeof(field)) {
        n = sizeof(field) - 1;
    }
    memcpy(field, p, n);
    field[n] = '\0';
    RqkTrimEnd(field);
    RqkCopyText(dst, size, field);
}

int RqkWrapChannelList(const char* list, char* dst, size_t size) {
    if (size > 0) {
        dst[0] = '\0';
    }
    const char* p = SkipBlanks(list);
    size_t n = strlen(p);
    while (n > 0 && IsBlank(p[n - 1])) {
        --n;
    }
    if (n >= 2 && p[0] == '(' && p[1] == '@') {
        if (p[n - 1] != ')') {
            return 0;
        }
        p += 2;
        n -= 3;
    }
    /* items: number or number:number, separated by commas, blanks around them */
    int expectNumber = 1; /* a number must come next */
    int inNumber = 0;
    int items = 0;
    for (size_t i = 0; i < n; ++i) {
        char c = p[i];
        if (isdigit((unsigned char)c)) {
            if (!expectNumber && !inNumber) {
                return 0; /* two numbers separated by blanks only */
            }
            if (!inNumber && expectNumber) {
                ++items;
            }
            inNumber = 1;
            expectNumber = 0;
        } else if (c == ' ' || c == '\t') {
            inNumber = 0;
        } else if (c == ',' || c == ':') {
            if (expectNumber) {
                return 0;
            }
            inNumber = 0;
            expectNumber = 1;
        } else {
            return 0;
        }
    }
    if (items == 0 || expectNumber) {
        return 0;
    }
    /* "(@" + list + ")" + terminator */
    if (n + 4 > size) {
        return 0;
    }
    memcpy(dst, "(@", 2);
    memcpy(dst + 2, p, n);
    dst[n + 2] = ')';
    dst[n + 3] = '\0';
    return 1;
}

int RqkIsOptionListText(const char* options) {
    size_t n = 0;
    for (const char* p = options; *p != '\0'; ++p, ++n) {
        unsigned char c = (unsigned char)*p;
        if (n >= 255 || c < 0x20 || c > 0x7E || c == '"') {
            return 0;
        }
    }
    return 1;
}

int RqkStartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++prefix, ++text) {
        if (*text == '\0' || toupper((unsigned char)*text) != toupper((unsigned char)*prefix)) {
            return 0;
        }
    }
    return 1;
}

int RqkIsChannelNumber(int32_t channel) {
    if (channel < 100 || channel > 9955) {
        return 0;
    }
    int group = (channel / 10) % 10;
    int number = channel % 10;
    return group <= 5 && number <= 5;
}
