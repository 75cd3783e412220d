// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// MTRA_OWN_ALLOCATOR is defined in builds under AddressSanitizer or ThreadSanitizer, whose
/// heap is the sanitizer's own: the C library's allocator settings and its heap's layout do
/// not apply there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MTRA_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MTRA_OWN_ALLOCATOR 1
#endif
#endif
