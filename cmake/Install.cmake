# Installation and packaging
