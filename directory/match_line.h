#ifndef DIRECTORY_MATCH_LINE_H
#define DIRECTORY_MATCH_LINE_H

// Prints the numbered line of one match of the first-name and number
// searches: "3)<tab>Smith, John - (706) 358-9111".
void printMatchLine(int matchNumber, int slot);

#endif  // DIRECTORY_MATCH_LINE_H
