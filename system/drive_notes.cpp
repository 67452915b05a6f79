// Posting the drive monitor's lines to the Storage Monitor list, the log and the Drive ID list.
#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/log_file.h"
#include "system/drive_work.h"

void drive_notes_post(const DriveNotes& notes) {
    for (const auto& note : notes) {
        switch (note.target) {
            case NOTE_STORAGE_MONITOR: saga_line_add(note.text, 0); break;
            case NOTE_LOG: log_line_add(note.text); break;
            case NOTE_DRIVE_ID: event_line_add_quiet(LIST_DRIVE_ID, 0, note.text); break;
        }
    }
}
