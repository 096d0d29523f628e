// The root of the panel objects: a named object that the application's panel list holds and that is
// found by its name. The panel classes are told apart at run time (is-kind-of) with dynamic_cast.
#pragma once

#include <string>

class CSFPObject {
public:
    explicit CSFPObject(std::string name = {}) : m_strName(std::move(name)) {}
    CSFPObject(const CSFPObject&) = delete;
    CSFPObject& operator=(const CSFPObject&) = delete;
    virtual ~CSFPObject() = default;

    std::string m_strName; // the key by which the object is found in the panel list
};
