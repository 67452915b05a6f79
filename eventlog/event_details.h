// The details of one event for LIST_EVENT_DETAILS: which event a row of the list on screen names, the
// serving of a details request, and the lines with the sideways scroll width they need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"
#include "runtime/date.h"

// The EventList index of a row of the list on screen: with search hits, row n is hit n; otherwise row n of
// the event list. -1 when the row names no event (an empty list, a row past the end, a stale hit).
int64_t event_details_index(int row, const std::vector<EventRecord>& events, const std::vector<int64_t>& hits);

// Serves the details request for the row: shows it (`show`, event_details_show) and marks the request
// served with show's result (-1), unless the user selected another row meanwhile: that request stays for
// the next round.
void event_details_request_serve(int row, int (*show)(int row));

// The details text and the width the list must scroll over.
struct EventDetailsText {
    std::vector<std::wstring> lines;
    int extent = 0;  // pixels
};

// What the details show of one event beside the event itself.
struct EventDetailsInput {
    std::wstring account;       // " (DOMAIN\name)" or " (name)", or empty
    std::wstring type_label;    // the type's label
    std::wstring disk_decoded;  // the decoded disk error data, lines separated by "\r\n"; empty when none
    int char_width = 0;         // pixels of one character of the list's font
};

// Two header lines with the event's stored (local) times, a dash line as long as the longer, one line per insertion
// string (" " + string), and for "disk" events one line per line of the decoded data.
EventDetailsText event_details_text(const EventRecord& event, const EventDetailsInput& input);

// The event data of a record back as bytes from its hexadecimal text; at most data_length bytes, and none
// when the text is not pairs of hexadecimal digits.
std::vector<uint8_t> event_data_bytes(std::wstring_view hex, int32_t data_length);

// ---- Windows (event page thread) ----

// Decodes disk error data into lines separated by "\r\n" (full mode); the wiring installs the disk-error
// decoder; without one no decoded block is shown.
using DiskDataDecoder = std::wstring (*)(const std::vector<uint8_t>& data);
void event_details_decoder_set(DiskDataDecoder decoder);

// Fills LIST_EVENT_DETAILS with the event of the row of the list on screen and returns -1 (request served).
// A row that names no event leaves the list empty.
int event_details_show(int row);
