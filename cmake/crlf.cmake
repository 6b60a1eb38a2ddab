# cmake -DIN=file -DOUT=file -P crlf.cmake: copies a text file with Windows' CRLF
# line ends, whether it had LF or CRLF (a clone made on Windows may have either).
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
