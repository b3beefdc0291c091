# Turns ORBOLAN_LAUNCHER_PATH into a value for a desktop entry's Exec key: quoted when the
# path holds a character the Exec syntax reserves, escaped for the key-file string rules.
string(REPLACE "%" "%%" ORBOLAN_LAUNCHER_PATH "${ORBOLAN_LAUNCHER_PATH}")
if(NOT ORBOLAN_LAUNCHER_PATH MATCHES "^[-A-Za-z0-9_./+,:=@%]+$")
  # Inside quotes a backslash escapes " ` $ and itself; the key-file format then doubles
  # every backslash once more.
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${ORBOLAN_LAUNCHER_PATH}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(ORBOLAN_LAUNCHER_PATH "\"${quoted}\"")
endif()
