#pragma once

namespace quill::jet {

// The ADOX column types the exports create, with their published codes.
enum DataTypeEnum : int {
  kAdSmallInt = 2,
  kAdInteger = 3,
  kAdSingle = 4,
  kAdDouble = 5,
  kAdCurrency = 6,
  kAdDate = 7,
  kAdBoolean = 11,
  kAdUnsignedTinyInt = 17,
  kAdBigInt = 20,
  kAdGuid = 72,
  kAdWChar = 130,
  kAdLongVarWChar = 203,
  kAdLongVarBinary = 205,
};

enum KeyTypeEnum : int {
  kAdKeyPrimary = 1,
};

enum CursorTypeEnum : int {
  kAdOpenKeyset = 1,
};

enum LockTypeEnum : int {
  kAdLockOptimistic = 3,
};

enum CommandTypeEnum : int {
  kAdCmdTableDirect = 512,
};

enum StreamTypeEnum : int {
  kAdTypeBinary = 1,
};

}  // namespace quill::jet
