#include "tests/support/ScriptedInstrument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Facade.h"
#include "platform/UserException.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "switching/GroupModel.h"

void CScriptedInstrument::FailOn(const std::string& operation, std::int32_t status, int nth) {
    m_failures[operation].push_back({m_counts[operation] + nth, status});
}

void CScriptedInstrument::Record(const std::string& operation, const std::string& arguments) {
    m_calls.push_back(arguments.empty() ? operation : operation + " " + arguments);
    const int count = ++m_counts[operation];
    m_lastStatus = 0;
    auto& pending = m_failures[operation];
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->first == count) {
            m_lastStatus = it->second;
            pending.erase(it);
            break;
        }
    }
}

void CScriptedInstrument::Call(const std::string& operation, const std::string& arguments) {
    Record(operation, arguments);
    if (m_lastStatus < 0) {
        AfxThrowUserException();
    }
}

void CScriptedInstrument::SelfTest(char* result) {
    result[0] = '\0';
    Call("SelfTest");
    std::snprintf(result, kSelfTestBufferSize, "%s", m_selfTest.c_str());
}

short CScriptedInstrument::QueryOpc() {
    Call("QueryOpc");
    return m_opc;
}

void CScriptedInstrument::DeviceClear() {
    m_calls.push_back("DeviceClear");
}

void CScriptedInstrument::Close() {
    m_calls.push_back("Close");
}

short CScriptedInstrument::ReadStatusByte() {
    Call("ReadStatusByte");
    return m_statusByte;
}

void CScriptedInstrument::ErrorQuery(std::int32_t* code, char* message) {
    message[0] = '\0';
    m_calls.push_back("ErrorQuery");
    m_lastStatus = 0;
    const int count = ++m_counts["ErrorQuery"];
    auto& pending = m_failures["ErrorQuery"];
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->first == count) {
            m_lastStatus = it->second;
            pending.erase(it);
            if (m_lastStatus == kStatusTimeOut) { // as the driver-backed instrument does
                DeviceClear();
                Facade().MessageBox(LoadString(IDS_TIME_OUT));
            }
            return; // a failed error query writes nothing and never raises
        }
    }
    if (m_errors.empty()) {
        *code = 0;
        std::snprintf(message, kTextBufferSize, "No error");
        return;
    }
    *code = m_errors.front().first;
    std::snprintf(message, kTextBufferSize, "%s", m_errors.front().second.c_str());
    m_errors.pop_front();
}

void CScriptedInstrument::CloseRoute(int channel) {
    Call("CloseRoute", std::to_string(channel));
}

void CScriptedInstrument::OpenRoute(int channel) {
    Call("OpenRoute", std::to_string(channel));
}

void CScriptedInstrument::SetAttenuation(short group, short value) {
    Call("SetAttenuation", std::to_string(group) + " " + std::to_string(value));
}

void CScriptedInstrument::OpenRouteList(char* channelList) {
    Call("OpenRouteList", channelList);
}

void CScriptedInstrument::QueryAttenuation(short card, short group, short* value) {
    Record("QueryAttenuation", std::to_string(card) + " " + std::to_string(group));
    if (m_readPositions.size() == kGroupCount && m_lastStatus >= 0) {
        *value = static_cast<short>(m_readPositions[static_cast<size_t>(group)]);
    }
}

void CScriptedInstrument::QueryClosedList(char* channelList, char* reply) {
    Record("QueryClosedList", channelList);
    // The list of a whole group: "<card><group>0:<card><group><last channel>".
    const int first = std::atoi(channelList);
    const char* colon = std::strchr(channelList, ':');
    const int last = colon != nullptr ? std::atoi(colon + 1) : first;
    const size_t group = static_cast<size_t>(first / 10 % 10);
    if (m_readPositions.size() == kGroupCount && m_lastStatus >= 0) {
        std::string text;
        for (int channel = 0; channel <= last - first; ++channel) {
            text += std::string(channel > 0 ? "," : "") + (channel == m_readPositions[group] ? "1" : "0");
        }
        std::snprintf(reply, kRouteReplySize, "%s", text.c_str());
    }
}

void CScriptedInstrument::SetCardOption(short card, const char* options) {
    Call("SetCardOption", std::to_string(card) + " " + options);
}

void CScriptedInstrument::QueryCardOption(short card, char* out) {
    out[0] = '\0';
    Call("QueryCardOption", std::to_string(card));
    std::snprintf(out, kOptionListBufferSize, "%s", m_cardOptions.c_str());
}

void CScriptedInstrument::QueryCardType(short card, char* out) {
    out[0] = '\0';
    Call("QueryCardType", std::to_string(card));
    const auto it = m_cardTypes.find(card);
    std::snprintf(out, kTextBufferSize, "%s", (it != m_cardTypes.end() ? it->second : m_cardType).c_str());
}
