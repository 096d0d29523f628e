/*
 * tirpc-vxi11d: a small VXI-11 server on libtirpc, so that VXI-11 clients meet an RPC implementation
 * that is not the project's own. Its one instrument answers "*IDN?" and "DATA?" (a 1 MiB definite-length
 * block); the server answers the portmapper's GETPORT itself on port 111 of the listen address, as no
 * rpcbind runs in a test's network namespace. libtirpc serves one call at a time, so a read with nothing
 * to give holds every connection up for its io_timeout.
 */
#include "vxi11.h"

#include <rpc/pmap_prot.h>

#include <arpa/inet.h>
#include <ctype.h>
#include <errno.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

enum {
    kErrorNone = 0,
    kErrorNotAccessible = 3,
    kErrorInvalidLink = 4,
    kErrorParameter = 5,
    kErrorNotSupported = 8,
    kErrorOutOfResources = 9,
    kErrorLocked = 11,
    kErrorNoLock = 12,
    kErrorTimeout = 15,
    kFlagWaitLock = 1,
    kFlagEnd = 8,
    kFlagTermCharSet = 0x80,
    kReasonRequestCount = 1,
    kReasonTermChar = 2,
    kReasonEnd = 4,
    kStatusMessageAvailable = 0x10,
    kMaxLinks = 256,
    kBlockSize = 1 << 20,
};

/* A link's message being written (until a chunk with END) and the reply not yet read. */
typedef struct {
    int used;
    char* input;
    size_t inputLength;
    char* output;
    size_t outputLength;
    size_t outputRead;
} Link;

/* The dispatchers that rpcgen writes (-m) and declares nowhere. */
void device_core_1(struct svc_req* request, SVCXPRT* transport);
void device_async_1(struct svc_req* request, SVCXPRT* transport);

static Link links[kMaxLinks + 1]; /* link ids 1 to kMaxLinks */
static int lockHolder;            /* link id holding the device lock, 0 for none */
static const char* identity = "TIRPC-TEST,VXI11-SERVER,0,1.0";
static unsigned int maxRecvSize = 65536;
static unsigned int corePort;
static unsigned int abortPort;

static void Sleep(unsigned int milliseconds) {
    struct timespec left = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

static Link* Find(Device_Link lid) {
    return lid >= 1 && lid <= kMaxLinks && links[lid].used ? &links[lid] : NULL;
}

/* Error of an operation of link `lid` under the device lock: waits lock_timeout with waitlock. */
static Device_ErrorCode Check(Device_Link lid, Device_Flags flags, unsigned int lockTimeout) {
    if (Find(lid) == NULL) {
        return kErrorInvalidLink;
    }
    if (lockHolder != 0 && lockHolder != lid) {
        if (flags & kFlagWaitLock) {
            Sleep(lockTimeout); /* nothing can release the lock meanwhile: calls are served one by one */
        }
        return kErrorLocked;
    }
    return kErrorNone;
}

static void SetOutput(Link* link, const char* head, size_t headLength, size_t blockLength) {
    free(link->output);
    link->outputLength = headLength + blockLength + 1;
    link->output = malloc(link->outputLength);
    if (link->output == NULL) {
        link->outputLength = 0;
        return;
    }
    memcpy(link->output, head, headLength);
    for (size_t i = 0; i < blockLength; ++i) {
        link->output[headLength + i] = (char)(i & 0xFF);
    }
    link->output[link->outputLength - 1] = '\n';
}

/* A whole message arrived: a query replaces any reply not yet read, anything else is ignored. */
static void Execute(Link* link) {
    size_t length = link->inputLength;
    while (length > 0 && isspace((unsigned char)link->input[length - 1])) {
        --length;
    }
    link->inputLength = 0;
    link->outputRead = 0;
    if (length == 5 && strncasecmp(link->input, "*IDN?", 5) == 0) {
        SetOutput(link, identity, strlen(identity), 0);
    } else if (length == 5 && strncasecmp(link->input, "DATA?", 5) == 0) {
        char head[16];
        int headLength = snprintf(head, sizeof head, "#7%07d", kBlockSize);
        SetOutput(link, head, (size_t)headLength, kBlockSize);
    } else {
        free(link->output);
        link->output = NULL;
        link->outputLength = 0;
    }
}

/* inst0, inst1, ... in any case: VISA programs write device names in capitals as often as not. */
static int DeviceName(const char* name) {
    if (strncasecmp(name, "inst", 4) != 0 || name[4] == '\0') {
        return 0;
    }
    for (const char* c = name + 4; *c != '\0'; ++c) {
        if (!isdigit((unsigned char)*c)) {
            return 0;
        }
    }
    return 1;
}

Create_LinkResp* create_link_1_svc(Create_LinkParms* parms, struct svc_req* request) {
    static Create_LinkResp reply;
    (void)request;
    memset(&reply, 0, sizeof reply);
    reply.abortPort = abortPort;
    reply.maxRecvSize = maxRecvSize;
    if (!DeviceName(parms->device)) {
        reply.error = kErrorNotAccessible;
        return &reply;
    }
    int lid = 1;
    while (lid <= kMaxLinks && links[lid].used) {
        ++lid;
    }
    if (lid > kMaxLinks) {
        reply.error = kErrorOutOfResources;
        return &reply;
    }
    if (parms->lockDevice && lockHolder != 0) {
        Sleep(parms->lock_timeout);
        reply.error = kErrorLocked;
        return &reply;
    }
    memset(&links[lid], 0, sizeof links[lid]);
    links[lid].used = 1;
    if (parms->lockDevice) {
        lockHolder = lid;
    }
    reply.lid = lid;
    return &reply;
}

Device_WriteResp* device_write_1_svc(Device_WriteParms* parms, struct svc_req* request) {
    static Device_WriteResp reply;
    (void)request;
    memset(&reply, 0, sizeof reply);
    reply.error = Check(parms->lid, parms->flags, parms->lock_timeout);
    if (reply.error != kErrorNone) {
        return &reply;
    }
    if (parms->data.data_len > maxRecvSize) {
        reply.error = kErrorParameter;
        return &reply;
    }
    Link* link = Find(parms->lid);
    char* input = realloc(link->input, link->inputLength + parms->data.data_len + 1);
    if (input == NULL) {
        reply.error = kErrorOutOfResources;
        return &reply;
    }
    link->input = input;
    memcpy(input + link->inputLength, parms->data.data_val, parms->data.data_len);
    link->inputLength += parms->data.data_len;
    reply.size = parms->data.data_len;
    if (parms->flags & kFlagEnd) {
        Execute(link);
    }
    return &reply;
}

Device_ReadResp* device_read_1_svc(Device_ReadParms* parms, struct svc_req* request) {
    static Device_ReadResp reply;
    (void)request;
    memset(&reply, 0, sizeof reply);
    reply.error = Check(parms->lid, parms->flags, parms->lock_timeout);
    if (reply.error != kErrorNone) {
        return &reply;
    }
    Link* link = Find(parms->lid);
    if (link->outputRead >= link->outputLength) {
        Sleep(parms->io_timeout); /* nothing to read: the reply never comes */
        reply.error = kErrorTimeout;
        return &reply;
    }
    const char* begin = link->output + link->outputRead;
    size_t count = link->outputLength - link->outputRead;
    if (count >= parms->requestSize) {
        count = parms->requestSize;
        reply.reason |= kReasonRequestCount;
    }
    if (parms->flags & kFlagTermCharSet) {
        const char* found = memchr(begin, (unsigned char)parms->termChar, count);
        if (found != NULL) {
            count = (size_t)(found - begin) + 1;
            reply.reason = kReasonTermChar | (count == parms->requestSize ? kReasonRequestCount : 0);
        }
    }
    link->outputRead += count;
    if (link->outputRead == link->outputLength) {
        reply.reason |= kReasonEnd;
    }
    reply.data.data_val = (char*)begin;
    reply.data.data_len = (unsigned int)count;
    return &reply;
}

Device_ReadStbResp* device_readstb_1_svc(Device_GenericParms* parms, struct svc_req* request) {
    static Device_ReadStbResp reply;
    (void)request;
    memset(&reply, 0, sizeof reply);
    reply.error = Check(parms->lid, parms->flags, parms->lock_timeout);
    if (reply.error == kErrorNone) {
        Link* link = Find(parms->lid);
        reply.stb = link->outputRead < link->outputLength ? kStatusMessageAvailable : 0;
    }
    return &reply;
}

static Device_Error* Answer(Device_ErrorCode error) {
    static Device_Error reply;
    reply.error = error;
    return &reply;
}

Device_Error* device_trigger_1_svc(Device_GenericParms* parms, struct svc_req* request) {
    (void)request;
    return Answer(Check(parms->lid, parms->flags, parms->lock_timeout));
}

Device_Error* device_clear_1_svc(Device_GenericParms* parms, struct svc_req* request) {
    (void)request;
    Device_ErrorCode error = Check(parms->lid, parms->flags, parms->lock_timeout);
    if (error == kErrorNone) {
        Link* link = Find(parms->lid);
        link->inputLength = 0;
        link->outputRead = link->outputLength;
    }
    return Answer(error);
}

Device_Error* device_remote_1_svc(Device_GenericParms* parms, struct svc_req* request) {
    (void)request;
    return Answer(Check(parms->lid, parms->flags, parms->lock_timeout));
}

Device_Error* device_local_1_svc(Device_GenericParms* parms, struct svc_req* request) {
    (void)request;
    return Answer(Check(parms->lid, parms->flags, parms->lock_timeout));
}

Device_Error* device_lock_1_svc(Device_LockParms* parms, struct svc_req* request) {
    (void)request;
    Device_ErrorCode error = Check(parms->lid, parms->flags, parms->lock_timeout);
    if (error == kErrorNone) {
        lockHolder = parms->lid;
    }
    return Answer(error);
}

Device_Error* device_unlock_1_svc(Device_Link* lid, struct svc_req* request) {
    (void)request;
    if (Find(*lid) == NULL) {
        return Answer(kErrorInvalidLink);
    }
    if (lockHolder != *lid) {
        return Answer(kErrorNoLock);
    }
    lockHolder = 0;
    return Answer(kErrorNone);
}

Device_Error* device_enable_srq_1_svc(Device_EnableSrqParms* parms, struct svc_req* request) {
    (void)request;
    return Answer(Find(parms->lid) == NULL ? kErrorInvalidLink : kErrorNotSupported);
}

Device_DocmdResp* device_docmd_1_svc(Device_DocmdParms* parms, struct svc_req* request) {
    static Device_DocmdResp reply;
    (void)request;
    memset(&reply, 0, sizeof reply);
    reply.error = Find(parms->lid) == NULL ? kErrorInvalidLink : kErrorNotSupported;
    return &reply;
}

Device_Error* destroy_link_1_svc(Device_Link* lid, struct svc_req* request) {
    (void)request;
    Link* link = Find(*lid);
    if (link == NULL) {
        return Answer(kErrorInvalidLink);
    }
    free(link->input);
    free(link->output);
    memset(link, 0, sizeof *link);
    if (lockHolder == *lid) {
        lockHolder = 0;
    }
    return Answer(kErrorNone);
}

Device_Error* create_intr_chan_1_svc(Device_RemoteFunc* parms, struct svc_req* request) {
    (void)parms;
    (void)request;
    return Answer(kErrorNotSupported);
}

Device_Error* destroy_intr_chan_1_svc(void* parms, struct svc_req* request) {
    (void)parms;
    (void)request;
    return Answer(kErrorNotSupported);
}

/* Calls are served one at a time, so no call of the link is in progress when its abort arrives. */
Device_Error* device_abort_1_svc(Device_Link* lid, struct svc_req* request) {
    (void)request;
    return Answer(Find(*lid) == NULL ? kErrorInvalidLink : kErrorNone);
}

/* Program 100000 version 2: NULL, and GETPORT of the core and abort programs over TCP. */
static void Portmapper(struct svc_req* request, SVCXPRT* transport) {
    if (request->rq_proc == PMAPPROC_NULL) {
        svc_sendreply(transport, (xdrproc_t)(void (*)(void))xdr_void, NULL);
        return;
    }
    if (request->rq_proc != PMAPPROC_GETPORT) {
        svcerr_noproc(transport);
        return;
    }
    struct pmap query;
    memset(&query, 0, sizeof query);
    if (!svc_getargs(transport, (xdrproc_t)xdr_pmap, (caddr_t)&query)) {
        svcerr_decode(transport);
        return;
    }
    unsigned int port = 0;
    if (query.pm_vers == 1 && query.pm_prot == IPPROTO_TCP) {
        port = query.pm_prog == DEVICE_CORE ? corePort : query.pm_prog == DEVICE_ASYNC ? abortPort : 0;
    }
    svc_sendreply(transport, (xdrproc_t)xdr_u_int, (caddr_t)&port);
}

/* A TCP transport listening on address:port (0 for any free port), registered with no portmapper. */
static unsigned int Serve(struct in_addr address, unsigned int port, rpcprog_t program, rpcvers_t version,
                          void (*dispatch)(struct svc_req*, SVCXPRT*)) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    struct sockaddr_in where;
    socklen_t size = sizeof where;
    memset(&where, 0, sizeof where);
    where.sin_family = AF_INET;
    where.sin_addr = address;
    where.sin_port = htons((uint16_t)port);
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(fd, (struct sockaddr*)&where, sizeof where) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, (struct sockaddr*)&where, &size) != 0) {
        fprintf(stderr, "tirpc-vxi11d: cannot listen on %s port %u: %s\n", inet_ntoa(address), port,
                strerror(errno));
        exit(1);
    }
    SVCXPRT* transport = svctcp_create(fd, 0, 0);
    if (transport == NULL || !svc_register(transport, program, version, dispatch, 0)) {
        fprintf(stderr, "tirpc-vxi11d: cannot serve program %lu\n", (unsigned long)program);
        exit(1);
    }
    return ntohs(where.sin_port);
}

static void End(int signal) {
    (void)signal;
    _exit(0);
}

static int Usage(const char* problem) {
    fprintf(stderr,
            "tirpc-vxi11d: %s\nusage: tirpc-vxi11d [--listen IPV4-ADDRESS] [--identity TEXT] "
            "[--max-recv-size BYTES]\n",
            problem);
    return 2;
}

int main(int argc, char** argv) {
    struct in_addr address = {htonl(INADDR_LOOPBACK)};
    for (int i = 1; i < argc; ++i) {
        const char* value = i + 1 < argc ? argv[i + 1] : NULL;
        if (value == NULL) {
            return Usage("an option without its value, or an unknown option");
        }
        if (strcmp(argv[i], "--listen") == 0) {
            if (inet_pton(AF_INET, value, &address) != 1) {
                return Usage("--listen takes a dotted IPv4 address");
            }
        } else if (strcmp(argv[i], "--identity") == 0) {
            identity = value;
        } else if (strcmp(argv[i], "--max-recv-size") == 0) {
            char* end = NULL;
            unsigned long size = strtoul(value, &end, 10);
            if (*value == '\0' || *end != '\0' || size < 16 || size > (1UL << 24)) {
                return Usage("--max-recv-size takes a byte count from 16 to 16777216");
            }
            maxRecvSize = (unsigned int)size;
        } else {
            return Usage("unknown option");
        }
        ++i;
    }
    signal(SIGPIPE, SIG_IGN);
    signal(SIGTERM, End);
    signal(SIGINT, End);
    corePort = Serve(address, 0, DEVICE_CORE, DEVICE_CORE_VERSION, device_core_1);
    abortPort = Serve(address, 0, DEVICE_ASYNC, DEVICE_ASYNC_VERSION, device_async_1);
    Serve(address, PMAPPORT, PMAPPROG, PMAPVERS, Portmapper);
    fprintf(stderr, "listening on %s, core port %u, abort port %u\n", inet_ntoa(address), corePort,
            abortPort);
    svc_run();
    return 1;
}
