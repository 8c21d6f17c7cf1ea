#pragma once

#include <cstddef>

/// What the load floor found: the fields and their bytes.
struct ScannedFields
{
    size_t fields = 0;
    size_t fieldBytes = 0;
};

/// The load floor: the file read whole and every field found by a plain scan
/// (quoted fields up to the next quote, others up to a comma), and nothing
/// more: each field's length is added up, so that the scan cannot be left
/// out, but no field is stored.
ScannedFields scanFields(const char *path);
