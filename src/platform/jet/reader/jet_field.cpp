#include "platform/jet/reader/jet_field.h"

namespace quill {
namespace {

int DataSizeOf(FieldKind kind, int size) {
  switch (kind) {
    case FieldKind::ftString:
      return size + 1;
    case FieldKind::ftWideString:
      return (size + 1) * 2;
    case FieldKind::ftSmallint:
    case FieldKind::ftWord:
    case FieldKind::ftBoolean:
      return 2;
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc:
      return 4;
    case FieldKind::ftFloat:
    case FieldKind::ftBCD:
    case FieldKind::ftCurrency:
    case FieldKind::ftDateTime:
      return 8;
    case FieldKind::ftVarBytes:
      return size + 2;
    case FieldKind::ftGuid:
      return 39;
    default:
      return 0;  // memos and BLOBs keep their values outside the record
  }
}

}  // namespace

std::unique_ptr<Field> MakeJetField(const std::string& name, const std::string& class_name, FieldKind kind, int size,
                                    int index) {
  auto field = std::make_unique<Field>(name, class_name, kind, size, index);
  field->SetDataSize(DataSizeOf(kind, size));
  return field;
}

}  // namespace quill
