// The data set generator: writes every file of the Data folder, procedurally.
#pragma once
