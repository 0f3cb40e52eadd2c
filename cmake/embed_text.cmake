# Writes the text file INPUT into the C++ source OUTPUT as the string NAME
# in the namespace quizedit:  cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_text.cmake
file(READ "${INPUT}" text)
string(FIND "${text}" ")manual\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string's closing delimiter")
endif()
file(WRITE "${OUTPUT}.new" "namespace quizedit {\nextern const char* const ${NAME};\nconst char* const ${NAME} = R\"manual(${text})manual\";\n}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
