/* The VISA C interface as the VISA standard defines it, for 64-bit Linux (and Windows): types, status
 * codes, attributes and the functions this project calls or provides. It is the contract between the
 * simulated VISA library (which implements it), the RQK4712V instrument driver and the soft front panel
 * (which both load a VISA library at run time and call it through VisaLoader.h). */
#ifndef RQK4712V_VISA_H
#define RQK4712V_VISA_H

#include <stdint.h>

#if defined(_WIN32)
#define _VI_FUNC __stdcall
#else
#define _VI_FUNC
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ViInt32;
typedef uint32_t ViUInt32;
typedef int16_t ViInt16;
typedef uint16_t ViUInt16;
typedef int8_t ViInt8;
typedef uint8_t ViUInt8;
typedef uint64_t ViUInt64;
typedef char ViChar;
typedef unsigned char ViByte;
typedef double ViReal64;
typedef ViUInt16 ViBoolean;
typedef ViInt32 ViStatus;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViObject ViFindList;
typedef ViUInt32 ViAttr;
typedef ViUInt64 ViAttrState;
typedef ViUInt32 ViAccessMode;
typedef ViUInt32 ViEventType;
typedef ViChar* ViString;
typedef const ViChar* ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViByte* ViBuf;
typedef const ViByte* ViConstBuf;
typedef ViString ViKeyId;
typedef ViConstString ViConstKeyId;

#define VI_NULL 0
#define VI_TRUE 1
#define VI_FALSE 0
#define VI_FIND_BUFLEN 256
#define VI_NO_LOCK 0
#define VI_EXCLUSIVE_LOCK 1
#define VI_TMO_IMMEDIATE 0
#define VI_TMO_INFINITE 0xFFFFFFFFu
#define VI_NO_SEC_ADDR 0xFFFF
#define VI_ALL_ENABLED_EVENTS 0x3FFF7FFFu
#define VI_ALL_MECH 0xFFFF
#define VI_SHARED_LOCK 2
#define VI_LOAD_CONFIG 4

/* Interface types */
#define VI_INTF_GPIB 1
#define VI_INTF_VXI 2
#define VI_INTF_GPIB_VXI 3

/* Completion and error codes */
#define VI_SUCCESS ((ViStatus)0)
#define VI_SUCCESS_TERM_CHAR ((ViStatus)0x3FFF0005)
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006)
#define VI_WARN_NULL_OBJECT ((ViStatus)0x3FFF0082)
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085)
#define VI_ERROR_SYSTEM_ERROR ((ViStatus)0xBFFF0000)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000E)
#define VI_ERROR_INV_EXPR ((ViStatus)0xBFFF0010)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011)
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)0xBFFF0012)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015)
#define VI_ERROR_NSUP_ATTR ((ViStatus)0xBFFF001D)
#define VI_ERROR_NSUP_ATTR_STATE ((ViStatus)0xBFFF001E)
#define VI_ERROR_ATTR_READONLY ((ViStatus)0xBFFF001F)
#define VI_ERROR_IO ((ViStatus)0xBFFF003E)
#define VI_ERROR_NSUP_OPER ((ViStatus)0xBFFF0067)
#define VI_ERROR_USER_BUF ((ViStatus)0xBFFF0071)

/* Attributes */
#define VI_ATTR_RSRC_CLASS ((ViAttr)0xBFFF0001)
#define VI_ATTR_RSRC_NAME ((ViAttr)0xBFFF0002)
#define VI_ATTR_RSRC_IMPL_VERSION ((ViAttr)0x3FFF0003)
#define VI_ATTR_RSRC_LOCK_STATE ((ViAttr)0x3FFF0004)
#define VI_ATTR_RSRC_SPEC_VERSION ((ViAttr)0x3FFF0170)
#define VI_ATTR_RSRC_MANF_NAME ((ViAttr)0xBFFF0174)
#define VI_ATTR_RSRC_MANF_ID ((ViAttr)0x3FFF0175)
#define VI_ATTR_SEND_END_EN ((ViAttr)0x3FFF0016)
#define VI_ATTR_TERMCHAR ((ViAttr)0x3FFF0018)
#define VI_ATTR_TMO_VALUE ((ViAttr)0x3FFF001A)
#define VI_ATTR_TERMCHAR_EN ((ViAttr)0x3FFF0038)
#define VI_ATTR_VXI_LA ((ViAttr)0x3FFF00D5)
#define VI_ATTR_MANF_ID ((ViAttr)0x3FFF00D9)
#define VI_ATTR_MODEL_CODE ((ViAttr)0x3FFF00DF)
#define VI_ATTR_SLOT ((ViAttr)0x3FFF00E8)
#define VI_ATTR_INTF_TYPE ((ViAttr)0x3FFF0171)
#define VI_ATTR_GPIB_PRIMARY_ADDR ((ViAttr)0x3FFF0172)
#define VI_ATTR_GPIB_SECONDARY_ADDR ((ViAttr)0x3FFF0173)
#define VI_ATTR_INTF_NUM ((ViAttr)0x3FFF0176)

ViStatus _VI_FUNC viOpenDefaultRM(ViSession* vi);
ViStatus _VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViFindList* vi, ViUInt32* retCnt,
                             ViChar desc[]);
ViStatus _VI_FUNC viFindNext(ViFindList vi, ViChar desc[]);
ViStatus _VI_FUNC viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType, ViUInt16* intfNum);
ViStatus _VI_FUNC viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType, ViUInt16* intfNum,
                                ViChar rsrcClass[], ViChar expandedUnaliasedName[], ViChar aliasIfExists[]);
ViStatus _VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                         ViSession* vi);
ViStatus _VI_FUNC viClose(ViObject vi);
ViStatus _VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue);
ViStatus _VI_FUNC viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue);
ViStatus _VI_FUNC viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]);
ViStatus _VI_FUNC viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViUInt32* retCnt);
ViStatus _VI_FUNC viRead(ViSession vi, ViBuf buf, ViUInt32 cnt, ViUInt32* retCnt);
ViStatus _VI_FUNC viReadSTB(ViSession vi, ViUInt16* status);
ViStatus _VI_FUNC viClear(ViSession vi);
ViStatus _VI_FUNC viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism);
ViStatus _VI_FUNC viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism);
ViStatus _VI_FUNC viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                         ViChar accessKey[]);
ViStatus _VI_FUNC viUnlock(ViSession vi);

#ifdef __cplusplus
}
#endif

#endif
