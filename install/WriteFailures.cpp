#include "install/WriteFailures.h"

#include <algorithm>

namespace {

WriteFailures* g_openList = nullptr;

}  // namespace

WriteFailures::WriteFailures() : m_outer(g_openList) { g_openList = this; }

WriteFailures::~WriteFailures() { g_openList = m_outer; }

void NoteWriteFailure(const std::string& name) {
    if (!g_openList) return;
    std::vector<std::string>& names = g_openList->m_names;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}
