# Installation rules
