// Product-information records for tests, made from their four values as the writer makes
// them. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

namespace testrecords {

inline core::RecordImage MakeRecord(const wchar_t* uuid,
                                    uint32_t number,
                                    const std::string& product = "prod",
                                    const std::string& maker = "maker") {
    core::RecordFields fields;
    core::ParseUuidText(uuid, fields.uuid);
    fields.number = number;
    fields.productName = product;
    fields.makerName = maker;
    return *core::EncodeRecord(fields);
}

inline std::vector<uint8_t> RecordBytes(const wchar_t* uuid,
                                        uint32_t number,
                                        const std::string& product = "prod",
                                        const std::string& maker = "maker") {
    core::RecordImage image = MakeRecord(uuid, number, product, maker);
    return std::vector<uint8_t>(image.begin(), image.end());
}

}  // namespace testrecords
