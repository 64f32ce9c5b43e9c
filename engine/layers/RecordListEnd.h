#pragma once

// How the reading of a project file's layer records ended: where the file ends between two records, where
// it ends inside one (cut short), or where a record holds a value no writer produces (damaged).
enum class RecordListEnd { AtRecord, CutShort, Damaged };
