<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>CalibrationPanel</name>
    <message>
        <location filename="../spectrumwindow/calibrationpanel.cpp" line="+102" />
        <source>Peak at channel %1 (now %2 keV). Its line:</source>
        <translation>Pico no canal %1 (agora %2 keV). A sua linha:</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Peak at channel %1. Its line:</source>
        <translation>Pico no canal %1. A sua linha:</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Click a peak in the plot, then name its line or choose it among the finder's candidates. Two or more peaks give the calibration.</source>
        <translation>Clique num pico do gráfico e dê o nome da sua linha ou escolha-a entre as candidatas do localizador. Dois ou mais picos dão a calibração.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Fe Ka1</source>
        <translation>Fe Ka1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Assign</source>
        <translation>&amp;Atribuir</translation>
    </message>
    <message>
        <location line="+1" />
        <source>U&amp;ndo</source>
        <translation>&amp;Desfazer</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Channel</source>
        <translation>Canal</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Line</source>
        <translation>Linha</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Energy (eV)</source>
        <translation>Energia (eV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Residual (eV)</source>
        <translation>Resíduo (eV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Energy = %1 eV + %2 eV × channel</source>
        <translation>Energia = %1 eV + %2 eV × canal</translation>
    </message>
    <message>
        <location line="+2" />
        <source>; RMS of the residuals %1 eV</source>
        <translation>; RMS dos resíduos %1 eV</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Uncalibrated: the plot shows channels.</source>
        <translation>Sem calibração: o gráfico mostra canais.</translation>
    </message>
</context>
<context>
    <name>CandidatesModel</name>
    <message>
        <location filename="../uicommon/candidatesmodel.cpp" line="+102" />
        <source>%1 escape (%2)</source>
        <translation>%1 escape (%2)</translation>
    </message>
    <message>
        <location line="+16" />
        <source>escape</source>
        <translation>escape</translation>
    </message>
    <message>
        <location line="+2" />
        <source>sum</source>
        <translation>soma</translation>
    </message>
    <message>
        <location line="+4" />
        <source>line</source>
        <translation>linha</translation>
    </message>
    <message>
        <location line="+21" />
        <source>%1: score %2</source>
        <translation>%1: pontuação %2</translation>
    </message>
    <message>
        <location line="+18" />
        <source>Element</source>
        <translation>Elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Line</source>
        <translation>Linha</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>ΔE (eV)</source>
        <translation>ΔE (eV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Relative intensity</source>
        <translation>Intensidade relativa</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Confirming lines</source>
        <translation>Linhas que confirmam</translation>
    </message>
</context>
<context>
    <name>DetectorBox</name>
    <message>
        <location filename="../uicommon/detectorbox.cpp" line="+141" />
        <source>&amp;Detector:</source>
        <translation>&amp;Detector:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>FWHM at Mn Kα:</source>
        <translation>FWHM em Mn Kα:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Beam energy:</source>
        <translation>Energia do &amp;feixe:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>none</source>
        <translation>nenhuma</translation>
    </message>
    <message>
        <location line="+1" />
        <source>(from the spectrum file)</source>
        <translation>(do arquivo do espectro)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's material: silicon (SDD, Si(Li)), germanium or CdTe</source>
        <translation>O material do detector: silício (SDD, Si(Li)), germânio ou CdTe</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's resolution, as the full width at half maximum of Mn Kα</source>
        <translation>A resolução do detector, como a largura a meia altura de Mn Kα</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Lines whose shell's edge lies above the beam energy are not excited; 0: no limit</source>
        <translation>Linhas cuja borda de absorção fica acima da energia do feixe não são excitadas; 0: sem limite</translation>
    </message>
</context>
<context>
    <name>ElementPanel</name>
    <message>
        <location filename="../spectrumwindow/elementpanel.cpp" line="+102" />
        <source>Pinned elements keep their markers, and their strong lines' sum peaks are drawn dotted. Type symbols or atomic numbers:</source>
        <translation>Elementos fixados mantêm os seus marcadores, e os picos soma das suas linhas fortes aparecem pontilhados. Digite símbolos ou números atômicos:</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Fe Cu 29</source>
        <translation>Fe Cu 29</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin</source>
        <translation>&amp;Fixar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Unpin</source>
        <translation>&amp;Soltar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Pin the element on &amp;show</source>
        <translation>Fixar o elemento &amp;mostrado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The element under the pointer in the periodic table (key P in the plot)</source>
        <translation>O elemento sob o ponteiro na tabela periódica (tecla P no gráfico)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No element with lines: %1</source>
        <translation>Nenhum elemento com linhas: %1</translation>
    </message>
</context>
<context>
    <name>FinderPanel</name>
    <message>
        <location filename="../spectrumwindow/finderpanel.cpp" line="+85" />
        <source>Candidates for the peak at %1 keV (channel %2):</source>
        <translation>Candidatas para o pico em %1 keV (canal %2):</translation>
    </message>
    <message>
        <location line="+3" />
        <source>The peak at channel %1 has no energy while the spectrum is uncalibrated: assign it a line in the calibration panel.</source>
        <translation>O pico no canal %1 não tem energia enquanto o espectro não está calibrado: atribua-lhe uma linha no painel de calibração.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Click a peak in the plot to list the lines, escape peaks and sum peaks that can explain it.</source>
        <translation>Clique num pico do gráfico para listar as linhas, os picos de escape e os picos soma que podem explicá-lo.</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin its element</source>
        <translation>&amp;Fixar o seu elemento</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Calibrate: the peak is this line</source>
        <translation>&amp;Calibrar: o pico é esta linha</translation>
    </message>
</context>
<context>
    <name>FinderWindow</name>
    <message>
        <location filename="../finderwindow/finderwindow.cpp" line="+131" />
        <source>Find lines by energy — Zandor</source>
        <translation>Localizar linhas por energia — Zandor</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Energy:</source>
        <translation>&amp;Energia:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>6.4 keV, 6400 eV or 6.4</source>
        <translation>6.4 keV, 6400 eV ou 6.4</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Tolerance:</source>
        <translation>&amp;Tolerância:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>one FWHM of the detector</source>
        <translation>uma FWHM do detector</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements &amp;present:</source>
        <translation>Elementos &amp;presentes:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Fe, Cu: their strong lines form sum peaks</source>
        <translation>Fe, Cu: as suas linhas fortes formam picos soma</translation>
    </message>
    <message>
        <location line="+3" />
        <source>The energy %1.</source>
        <translation>A energia %1.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The tolerance %1.</source>
        <translation>A tolerância %1.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Not elements, left out: %1.</source>
        <translation>Não são elementos, deixados de fora: %1.</translation>
    </message>
    <message numerus="yes">
        <location line="+2" />
        <source>%n candidate(s) near %1 keV (%2 eV), best first.</source>
        <translation>
            <numerusform>%n candidata perto de %1 keV (%2 eV), a melhor primeiro.</numerusform>
            <numerusform>%n candidatas perto de %1 keV (%2 eV), as melhores primeiro.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4" />
        <source>Type the energy of a peak: a number with its unit, eV or keV; a bare number is keV.</source>
        <translation>Digite a energia de um pico: um número com a sua unidade, eV ou keV; um número sozinho é keV.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <location filename="../mainwindow/form1_layout.cpp" line="+453" />
        <source>&amp;Tools</source>
        <translation>&amp;Ferramentas</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Open spectrum...</source>
        <translation>&amp;Abrir espectro...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Find lines by energy...</source>
        <translation>&amp;Localizar linhas por energia...</translation>
    </message>
</context>
<context>
    <name>IdentifyPanel</name>
    <message>
        <location filename="../spectrumwindow/identifypanel.cpp" line="+122" />
        <source>&amp;Identify the peaks</source>
        <translation>&amp;Identificar os picos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Name the elements of the active spectrum, pin them and label its peaks</source>
        <translation>Nomear os elementos do espectro ativo, fixá-los e rotular os seus picos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements found (untick one to remove it, tick it to add it back):</source>
        <translation>Elementos encontrados (desmarque um para removê-lo, marque-o para trazê-lo de volta):</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Peaks:</source>
        <translation>Picos:</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Counts</source>
        <translation>Contagens</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Significance</source>
        <translation>Significância</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Peak</source>
        <translation>Pico</translation>
    </message>
    <message>
        <location line="+12" />
        <source>Identify the peaks of the active spectrum: the elements that explain them are pinned and the peaks labelled, escape and sum peaks as such.</source>
        <translation>Identifique os picos do espectro ativo: os elementos que os explicam são fixados e os picos rotulados, os picos de escape e soma como tais.</translation>
    </message>
    <message>
        <location line="+9" />
        <source>as set</source>
        <translation>como definida</translation>
    </message>
    <message>
        <location line="+3" />
        <source>from the file</source>
        <translation>do arquivo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>estimated from the spectrum</source>
        <translation>estimada a partir do espectro</translation>
    </message>
    <message>
        <location line="+3" />
        <source>the detector's usual</source>
        <translation>a habitual do detector</translation>
    </message>
    <message>
        <location line="+3" />
        <source>%1 kV</source>
        <translation>%1 kV</translation>
    </message>
    <message>
        <location line="+0" />
        <source>not known</source>
        <translation>desconhecido</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1: FWHM %2 eV at Mn Kα (%3); beam %4.</source>
        <translation>%1: FWHM %2 eV em Mn Kα (%3); feixe %4.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>none</source>
        <translation>nenhum</translation>
    </message>
    <message>
        <location line="+5" />
        <source>certain</source>
        <translation>certo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>probable</source>
        <translation>provável</translation>
    </message>
    <message>
        <location line="+3" />
        <source>possible</source>
        <translation>possível</translation>
    </message>
    <message>
        <location line="+6" />
        <source>%1 — %2, %3 σ: %4</source>
        <translation>%1 — %2, %3 σ: %4</translation>
    </message>
    <message>
        <location line="+2" />
        <source>no line of its own</source>
        <translation>nenhuma linha própria</translation>
    </message>
    <message>
        <location line="+14" />
        <source>Escape peak of %1: the detector's %2 left it</source>
        <translation>Pico de escape de %1: o %2 do detector escapou</translation>
    </message>
    <message>
        <location line="+5" />
        <source>Sum peak: two photons counted as one</source>
        <translation>Pico soma: dois fótons contados como um</translation>
    </message>
    <message>
        <location line="+3" />
        <source>noise peak</source>
        <translation>pico de ruído</translation>
    </message>
    <message>
        <location line="+1" />
        <source>The detector's noise peak at zero energy</source>
        <translation>O pico de ruído do detector na energia zero</translation>
    </message>
    <message>
        <location line="+3" />
        <source>unexplained</source>
        <translation>sem explicação</translation>
    </message>
    <message>
        <location line="+33" />
        <source>No beam energy (Detector tab): every line counts as excited, and the families of an element are weighed freely.</source>
        <translation>Sem energia do feixe (aba Detector): toda linha conta como excitada, e as famílias de um elemento são pesadas livremente.</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No peaks: too few channels in the X-ray range.</source>
        <translation>Nenhum pico: poucos canais na faixa de raios X.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No peaks: the spectrum holds no counts.</source>
        <translation>Nenhum pico: o espectro não tem contagens.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Counts above 1e15 a channel are no photon counts: scaled down before looking for peaks.</source>
        <translation>Contagens acima de 1e15 por canal não são contagens de fótons: reduzidas antes da busca de picos.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Channels summed in groups of %1, much narrower than the detector's resolution.</source>
        <translation>Canais somados em grupos de %1, muito mais estreitos que a resolução do detector.</translation>
    </message>
    <message>
        <location line="+2" />
        <source>An X-ray fluorescence spectrum: the families of an element are weighed freely, and its deeper subshells may fall short.</source>
        <translation>Um espectro de fluorescência de raios X: as famílias de um elemento são pesadas livremente, e suas subcamadas mais profundas podem ficar aquém.</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No peaks: the spectrum is flat (nothing stands out from its noise).</source>
        <translation>Nenhum pico: o espectro é plano (nada se destaca do seu ruído).</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Stopped after %1 elements and %2 peaks tried: the spectrum is not one this method can take apart.</source>
        <translation>Parou após %1 elementos e %2 picos tentados: este método não consegue decompor o espectro.</translation>
    </message>
    <message>
        <location line="+5" />
        <source>The rise at %1 keV is the continuum's step at the %2 absorption edge of the detector's window or crystal, not a peak.</source>
        <translation>A subida em %1 keV é o degrau do contínuo na borda de absorção de %2 da janela ou do cristal do detector, não um pico.</translation>
    </message>
    <message>
        <location line="+6" />
        <source>1 peak left unexplained.</source>
        <translation>1 pico ficou sem explicação.</translation>
    </message>
    <message>
        <location line="+1" />
        <source>%1 peaks left unexplained.</source>
        <translation>%1 picos ficaram sem explicação.</translation>
    </message>
    <message>
        <location line="+11" />
        <source>%1 (fits less well)</source>
        <translation>%1 (ajusta-se pior)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its %2 at %3 keV is missing)</source>
        <translation>%1 (falta a sua %2 em %3 keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its line at %2 keV is missing)</source>
        <translation>%1 (falta a sua linha em %2 keV)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its %2 at %3 keV is not seen)</source>
        <translation>%1 (a sua %2 em %3 keV não aparece)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (its line at %2 keV is not seen)</source>
        <translation>%1 (a sua linha em %2 keV não aparece)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (fits the peak poorly)</source>
        <translation>%1 (ajusta-se mal ao pico)</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1 (the elements found explain it as well)</source>
        <translation>%1 (os elementos encontrados o explicam igualmente)</translation>
    </message>
    <message>
        <location line="+12" />
        <source>Required: known to be in the sample</source>
        <translation>Exigido: sabe-se que está na amostra</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Required; its lines are not seen</source>
        <translation>Exigido; as suas linhas não aparecem</translation>
    </message>
    <message>
        <location line="+4" />
        <source>The peak at %1 keV is its %2</source>
        <translation>O pico em %1 keV é a sua %2</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Taken for the peak at %1 keV</source>
        <translation>Escolhido para o pico em %1 keV</translation>
    </message>
    <message>
        <location line="+4" />
        <source>%1 at %2 keV</source>
        <translation>%1 em %2 keV</translation>
    </message>
    <message>
        <location line="+0" />
        <source>a line</source>
        <translation>uma linha</translation>
    </message>
    <message>
        <location line="+4" />
        <source>%1 and %2</source>
        <translation>%1 e %2</translation>
    </message>
    <message>
        <location line="+2" />
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3" />
        <source>%1, with %2</source>
        <translation>%1, com %2</translation>
    </message>
    <message>
        <location line="+5" />
        <source>%1; rather than %2</source>
        <translation>%1; em vez de %2</translation>
    </message>
    <message>
        <location line="+11" />
        <source>Below %1 keV, in the noise peak's reach, where no line is looked for</source>
        <translation>Abaixo de %1 keV, ao alcance do pico de ruído, onde nenhuma linha é procurada</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The beam scattered by the sample (Rayleigh, at the beam energy), no element's line</source>
        <translation>O feixe espalhado pela amostra (Rayleigh, na energia do feixe), nenhuma linha de elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The beam scattered by the sample (Compton, below the beam energy), no element's line</source>
        <translation>O feixe espalhado pela amostra (Compton, abaixo da energia do feixe), nenhuma linha de elemento</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Wider than a line: the shape of the continuum, or scattered radiation</source>
        <translation>Mais largo que uma linha: a forma do contínuo, ou radiação espalhada</translation>
    </message>
    <message>
        <location line="+2" />
        <source>No element has a line there that fits</source>
        <translation>Nenhum elemento tem ali uma linha que se ajuste</translation>
    </message>
    <message>
        <location line="+5" />
        <source>Tried %1</source>
        <translation>Tentados: %1</translation>
    </message>
    <message>
        <location line="+3" />
        <source>No element found explains it</source>
        <translation>Nenhum elemento encontrado o explica</translation>
    </message>
    <message>
        <location line="+2" />
        <source>The elements found explain only part of it</source>
        <translation>Os elementos encontrados explicam só parte dele</translation>
    </message>
</context>
<context>
    <name>SpectrumWindow</name>
    <message>
        <location filename="../app/spectrumtools.cpp" line="+86" />
        <location filename="../spectrumwindow/spectrumwindow_files.cpp" line="+62" />
        <source>Open spectrum</source>
        <translation>Abrir espectro</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow.cpp" line="+221" />
        <source>Spectra — Zandor</source>
        <translation>Espectros — Zandor</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Spectrum tools</source>
        <translation>Ferramentas do espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source> &amp;Counts: </source>
        <translation> &amp;Contagens: </translation>
    </message>
    <message>
        <location line="+1" />
        <source>linear</source>
        <translation>linear</translation>
    </message>
    <message>
        <location line="+1" />
        <source>logarithmic</source>
        <translation>logarítmica</translation>
    </message>
    <message>
        <location line="+1" />
        <source>square root</source>
        <translation>raiz quadrada</translation>
    </message>
    <message>
        <location line="+1" />
        <source> &amp;Normalised by: </source>
        <translation> &amp;Normalizado por: </translation>
    </message>
    <message>
        <location line="+1" />
        <source>none</source>
        <translation>nada</translation>
    </message>
    <message>
        <location line="+1" />
        <source>live time</source>
        <translation>tempo vivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>area</source>
        <translation>área</translation>
    </message>
    <message>
        <location line="+1" />
        <source>maximum</source>
        <translation>máximo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Remove spectrum</source>
        <translation>&amp;Remover espectro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Spectra</source>
        <translation>Espectros</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Elements</source>
        <translation>Elementos</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Finder</source>
        <translation>Localizador</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Calibration</source>
        <translation>Calibração</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Detector</source>
        <translation>Detector</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Identification</source>
        <translation>Identificação</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Open spectrum...</source>
        <translation>&amp;Abrir espectro...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Open &amp;recent</source>
        <translation>Abrir &amp;recente</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as &amp;PNG...</source>
        <translation>Exportar gráfico como &amp;PNG...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as &amp;SVG...</source>
        <translation>Exportar gráfico como &amp;SVG...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as &amp;EMSA/MSA...</source>
        <translation>Exportar espectro como &amp;EMSA/MSA...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as &amp;CSV...</source>
        <translation>Exportar espectro como &amp;CSV...</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Close</source>
        <translation>&amp;Fechar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;View</source>
        <translation>&amp;Exibir</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Whole spectrum</source>
        <translation>Espectro &amp;inteiro</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Show the whole spectrum (Home, or a double-click in the plot)</source>
        <translation>Mostrar o espectro inteiro (Home, ou um duplo clique no gráfico)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Pin the element on show</source>
        <translation>&amp;Fixar o elemento mostrado</translation>
    </message>
    <message>
        <location line="+1" />
        <source>&amp;Identify</source>
        <translation>&amp;Identificar</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Name the elements of the active spectrum, pin them and label its peaks (Ctrl+I)</source>
        <translation>Nomear os elementos do espectro ativo, fixá-los e rotular os seus picos (Ctrl+I)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Open a spectrum (Ctrl+O) or drop spectrum files here.
Then point at the periodic table to see an element's lines.</source>
        <translation>Abra um espectro (Ctrl+O) ou solte arquivos de espectro aqui.
Depois aponte a tabela periódica para ver as linhas de um elemento.</translation>
    </message>
    <message>
        <location line="+64" />
        <source>Counts</source>
        <translation>Contagens</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Counts per second of live time</source>
        <translation>Contagens por segundo de tempo vivo</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Share of all counts</source>
        <translation>Fração de todas as contagens</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Share of the highest count</source>
        <translation>Fração da maior contagem</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Energy (keV)</source>
        <translation>Energia (keV)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Channel</source>
        <translation>Canal</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Uncalibrated: the plot shows channels and no markers until the spectrum is calibrated.</source>
        <translation>Sem calibração: o gráfico mostra canais e nenhum marcador até o espectro ser calibrado.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>%1 has no live time: not normalised.</source>
        <translation>%1 não tem tempo vivo: não normalizado.</translation>
    </message>
    <message>
        <location line="+103" />
        <source>%1 keV   channel %2   counts %3</source>
        <translation>%1 keV   canal %2   contagens %3</translation>
    </message>
    <message>
        <location line="+2" />
        <source>channel %1   counts %2</source>
        <translation>canal %1   contagens %2</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_calibration.cpp" line="+31" />
        <source>Click a peak in the plot first.</source>
        <translation>Clique primeiro num pico do gráfico.</translation>
    </message>
    <message>
        <location line="+10" />
        <source>'%1' names no line: write an element and a line, as in 'Fe Ka1' or 'Cu KL3'.</source>
        <translation>'%1' não nomeia uma linha: escreva um elemento e uma linha, como 'Fe Ka1' ou 'Cu KL3'.</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Choose a candidate in the finder, or type the line.</source>
        <translation>Escolha uma candidata no localizador, ou digite a linha.</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Calibrate with lines: an escape or a sum peak depends on the detector.</source>
        <translation>Calibre com linhas: um pico de escape ou soma depende do detector.</translation>
    </message>
    <message>
        <location line="+9" />
        <source>The peak at channel %1 is already assigned %2: two lines at one channel say nothing about the gain. Undo that assignment, or pick another peak.</source>
        <translation>O pico no canal %1 já tem a linha %2: duas linhas num só canal nada dizem sobre o ganho. Desfaça essa atribuição ou escolha outro pico.</translation>
    </message>
    <message>
        <location line="+12" />
        <source>Not calibrated: %1.</source>
        <translation>Não calibrado: %1.</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_files.cpp" line="-25" />
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+9" />
        <source>%1: the folder holds no spectrum files (%2)</source>
        <translation>%1: a pasta não contém arquivos de espectro (%2)</translation>
    </message>
    <message>
        <location line="+4" />
        <source>This file could not be opened:</source>
        <translation>Este arquivo não pôde ser aberto:</translation>
    </message>
    <message numerus="yes">
        <location line="+1" />
        <source>These %n files could not be opened:</source>
        <translation>
            <numerusform>Este arquivo não pôde ser aberto:</numerusform>
            <numerusform>Estes %n arquivos não puderam ser abertos:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3" />
        <source>... and %n more.</source>
        <translation>
            <numerusform>... e mais %n.</numerusform>
            <numerusform>... e mais %n.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1" />
        <location line="+53" />
        <location line="+39" />
        <source>Zandor</source>
        <translation>Zandor</translation>
    </message>
    <message>
        <location line="-67" />
        <source>(none)</source>
        <translation>(nenhum)</translation>
    </message>
    <message>
        <location line="+13" />
        <location line="+7" />
        <source>there is no spectrum to write</source>
        <translation>não há espectro para gravar</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Open a spectrum first.</source>
        <translation>Abra primeiro um espectro.</translation>
    </message>
    <message>
        <location line="+10" />
        <source>Export plot as PNG</source>
        <translation>Exportar gráfico como PNG</translation>
    </message>
    <message>
        <location line="+0" />
        <source>PNG image (*.png)</source>
        <translation>Imagem PNG (*.png)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export plot as SVG</source>
        <translation>Exportar gráfico como SVG</translation>
    </message>
    <message>
        <location line="+0" />
        <source>SVG drawing (*.svg)</source>
        <translation>Desenho SVG (*.svg)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as EMSA/MSA</source>
        <translation>Exportar espectro como EMSA/MSA</translation>
    </message>
    <message>
        <location line="+0" />
        <source>EMSA/MSA spectrum (*.msa *.emsa)</source>
        <translation>Espectro EMSA/MSA (*.msa *.emsa)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Export spectrum as CSV</source>
        <translation>Exportar espectro como CSV</translation>
    </message>
    <message>
        <location line="+0" />
        <source>CSV table (*.csv)</source>
        <translation>Tabela CSV (*.csv)</translation>
    </message>
    <message>
        <location line="+26" />
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_markers.cpp" line="+219" />
        <source>channel %1</source>
        <translation>canal %1</translation>
    </message>
    <message>
        <location filename="../spectrumwindow/spectrumwindow_identify.cpp" line="+22" />
        <source>Open a spectrum to identify its peaks.</source>
        <translation>Abra um espectro para identificar os seus picos.</translation>
    </message>
    <message>
        <location line="+5" />
        <source>The spectrum is not calibrated: calibrate it (Calibration tab) before identifying its peaks.</source>
        <translation>O espectro não está calibrado: calibre-o (aba Calibração) antes de identificar os seus picos.</translation>
    </message>
</context>
<context>
    <name>plotexport</name>
    <message>
        <location filename="../spectrumwindow/plotexport.cpp" line="+48" />
        <source>cannot draw the SVG file</source>
        <translation>não foi possível desenhar o arquivo SVG</translation>
    </message>
</context>
<context>
    <name>spectrumfiles</name>
    <message>
        <location filename="../spectrumwindow/spectrumfiles.cpp" line="+127" />
        <source>Spectra (%1)</source>
        <translation>Espectros (%1)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>EMSA/MSA (*.msa *.emsa)</source>
        <translation>EMSA/MSA (*.msa *.emsa)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Bruker (*.spx)</source>
        <translation>Bruker (*.spx)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Text: energy and counts, or counts (*.txt *.csv *.dat)</source>
        <translation>Texto: energia e contagens, ou contagens (*.txt *.csv *.dat)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Multichannel analyser counts (*.spe *.mca)</source>
        <translation>Contagens de analisador multicanal (*.spe *.mca)</translation>
    </message>
    <message>
        <location line="+1" />
        <source>All files (*)</source>
        <translation>Todos os arquivos (*)</translation>
    </message>
</context>
</TS>
