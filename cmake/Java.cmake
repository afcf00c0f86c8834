# Java: the Debian JDK 17 for javac, jni.h and the runtime the bridge loads at run time.
# The machine may carry other JDKs; pin the Java home to the JDK 17 that javac belongs to.
find_program(VORN_JAVAC NAMES javac
  HINTS /usr/lib/jvm/java-17-openjdk-amd64/bin /usr/lib/jvm/java-17-openjdk-arm64/bin
  NO_DEFAULT_PATH)
if(NOT VORN_JAVAC)
  find_program(VORN_JAVAC javac REQUIRED)
endif()
get_filename_component(_javac_real "${VORN_JAVAC}" REALPATH)
get_filename_component(_java_bin "${_javac_real}" DIRECTORY)
get_filename_component(VORN_JAVA_HOME "${_java_bin}" DIRECTORY)
set(ENV{JAVA_HOME} "${VORN_JAVA_HOME}")
set(JAVA_HOME "${VORN_JAVA_HOME}")
set(Java_JAVAC_EXECUTABLE "${VORN_JAVA_HOME}/bin/javac" CACHE FILEPATH "" FORCE)
set(Java_JAR_EXECUTABLE "${VORN_JAVA_HOME}/bin/jar" CACHE FILEPATH "" FORCE)
set(Java_JAVA_EXECUTABLE "${VORN_JAVA_HOME}/bin/java" CACHE FILEPATH "" FORCE)
find_package(Java 17 REQUIRED COMPONENTS Development)
find_package(JNI REQUIRED)
include(UseJava)
set(CMAKE_JAVA_COMPILE_FLAGS --release 17 -encoding UTF-8 -Xlint:none)

# JDBC drivers from Debian's shared Java folder.
find_jar(VORN_JDBC_SQLITE NAMES sqlite-jdbc xerial-sqlite-jdbc PATHS /usr/share/java REQUIRED)
find_jar(VORN_JDBC_POSTGRES NAMES postgresql PATHS /usr/share/java REQUIRED)
find_jar(VORN_JDBC_MARIADB NAMES mariadb-java-client PATHS /usr/share/java REQUIRED)
find_jar(VORN_JDBC_JTDS NAMES jtds PATHS /usr/share/java REQUIRED)
set(VORN_JDBC_JARS "${VORN_JDBC_SQLITE}" "${VORN_JDBC_POSTGRES}" "${VORN_JDBC_MARIADB}" "${VORN_JDBC_JTDS}")

# The SQLite driver's native library; the bridge's own java.library.path hides Debian's folder.
find_path(VORN_SQLITE_JNI_DIR libsqlitejdbc.so
  PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/jni /usr/lib/jni NO_DEFAULT_PATH)
if(NOT VORN_SQLITE_JNI_DIR)
  message(FATAL_ERROR "libsqlitejdbc.so not found: install libxerial-sqlite-jdbc-jni")
endif()
