// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// What a name given as a recording to read turned out to be.
enum class CRecordingKind { File, Stream, Directory, Device, Unreadable };

// Opens `path` to read a recording without ever waiting in open(): non-blocking, so that a FIFO
// without a writer, a device node or a socket cannot hang the caller. A regular file is a File;
// a FIFO (read as it arrives) a Stream; a directory or a device node is refused and closed.
// Returns the descriptor (-1 when refused or unreadable); `error` is the errno of Unreadable.
int OpenRecording(const std::string& path, CRecordingKind& kind, int& error);
