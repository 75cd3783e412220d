// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "XmlGuard.h"

namespace mtra::app {

namespace {

// Per thread, so that a capture never sees another thread's loads; nested captures chain.
thread_local XmlMessageCapture* g_capture = nullptr;

} // namespace

XmlMessageCapture::XmlMessageCapture()
    : m_outer(g_capture)
{
    g_capture = this;
}

XmlMessageCapture::~XmlMessageCapture()
{
    g_capture = m_outer;
}

void XmlMessageCapture::Note(const std::string& message) noexcept
{
    // Called from the guards' handlers: a failure to record must not escape them.
    try {
        if (g_capture)
            g_capture->m_messages.push_back(message);
    } catch (...) {
    }
}

} // namespace mtra::app
